#pragma once
// The shell's visual components: controls backed by a Qt widget, placed by their
// alignment inside a parent that holds children (panels, forms), with the hint, font and
// visibility properties the stored forms give them. A parent also hosts the library's
// windowed controls (the editor) and windowless controls (the speed button).
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "components/Component.h"
#include "components/Font.h"

class TControl;
class TWinControl;
class TGraphicControl;
class TShellWinControl;
class TGraphicSurface;
class TPopupMenu;

// Where a control sits in its parent: at its own bounds, or docked to a side, or filling
// what the docked controls leave.
enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A shell control's font: a family as the form names it (mapped to an installed one when
// drawn), a height in pixels, a colour and a style.
struct TShellFont {
    std::string Name = "MS Sans Serif";
    int Height = 11;
    TColor Color = clWindowText;
    TFontStyles Style;
    friend bool operator==(const TShellFont&, const TShellFont&) = default;
};

// The Qt font and text colour of a shell font, with the family mapped to an installed one.
QFont ToQFont(const TShellFont& font);

class TShellControl : public TComponent {
public:
    explicit TShellControl(TComponent* owner);
    // Takes the control out of its parent and deletes its widget.
    ~TShellControl() override;
    const char* ClassName() const override { return "TShellControl"; }

    QWidget* Widget() const { return widget_; }
    TShellWinControl* Parent() const { return parent_; }
    // Moves the control (and its widget) into `parent`'s client area.
    virtual void SetParent(TShellWinControl* parent);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    // The design bounds: alignment overrides the sides it docks to.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    virtual void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    // The place in its parent's Tab order (-1: after those that have one, in creation order).
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order) { tabOrder_ = order; }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // "short|long": the short part is the tooltip, the long part the status-line hint.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool parent);
    // Whether the control shows its tooltip: its own setting, or its parent's.
    bool EffectiveShowHint() const;

    // The font, the parent's while ParentFont is on. Setting it turns ParentFont off.
    const TShellFont& Font() const;
    void SetFont(const TShellFont& font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);

    // The shell control whose widget is `widget` or holds it, or nullptr.
    static TShellControl* FromWidget(const QWidget* widget);

protected:
    // Subclasses give the control its widget in their constructor.
    void SetWidget(QWidget* widget);
    // After the effective font changed: the widget takes it.
    virtual void FontChanged();
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TShellWinControl;
    QPointer<QWidget> widget_;
    TShellWinControl* parent_ = nullptr;
    TAlign align_ = alNone;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true;
    int tabOrder_ = -1;
    std::string hint_;
    bool showHint_ = false, parentShowHint_ = true;
    TShellFont font_;
    bool parentFont_ = true;
};

// What the shell keeps for a library windowed control placed on it: the settings of the
// stored form that the library control has no place for itself.
struct TLibraryPlacement {
    int Left = 0, Top = 0, Width = 0, Height = 0; // design bounds (the window fills its host)
    TAlign Align = alNone;
    int TabOrder = -1;
    bool ParentColor = true;
    TPopupMenu* PopupMenu = nullptr; // shown on the control's context-menu request
};

// A shell control that holds child controls in its client area and aligns them.
class TShellWinControl : public TShellControl {
public:
    explicit TShellWinControl(TComponent* owner);
    ~TShellWinControl() override;
    const char* ClassName() const override { return "TShellWinControl"; }

    // Where the children's widgets live.
    QWidget* Client() const { return client_; }

    // A library windowed control (the editor) placed here: its window lives in a host
    // widget that the alignment places like a shell control's widget.
    void InsertLibraryControl(TWinControl& control);
    // A library windowless control placed here: it lives on a library surface filling
    // the client area beneath the shell controls.
    void InsertGraphicControl(TGraphicControl& control);
    // The placement of a library windowed control placed here (nullptr for others).
    TLibraryPlacement* PlacementOf(const TComponent& control);
    const TLibraryPlacement* PlacementOf(const TComponent& control) const;
    // Makes the windows of the library controls placed here and below (once the stored
    // form has been read, when their controllers are bound).
    void CreateLibraryWindows();

    // The child controls, shell and library ones, in the order they were placed.
    std::vector<TComponent*> Children() const;
    // Lays the children out by their alignment now.
    void Realign();
    // Chains the widgets of this control's children, and theirs, into the Tab order after
    // `previous`, by their TabOrder; `previous` ends as the last one chained.
    void ApplyTabOrder(QWidget*& previous);
    // The widget that takes what the aligned children leave (the MDI area of a frame).
    void SetClientFiller(QWidget* filler);

protected:
    // Subclasses give their client widget (a child of the widget, or the widget itself).
    void SetClient(QWidget* client);
    void Notification(TComponent* component, TOperation operation) override;
    void FontChanged() override;

private:
    friend class TShellControl;
    struct TSlot {
        TComponent* Component;
        QPointer<QWidget> Widget; // the control's widget, or the host of a library window
        TAlign Align = alNone;
        TLibraryPlacement Placement; // library windowed controls only
    };
    TSlot* SlotOf(const TComponent* component);
    const TSlot* SlotOf(const TComponent* component) const;
    void RemoveSlot(const TComponent* component);
    void AddShellChild(TShellControl& child);

    QPointer<QWidget> client_;
    QPointer<QWidget> filler_;
    QObject* realigner_ = nullptr;
    std::vector<TSlot> slots_;
    TGraphicSurface* surface_ = nullptr;
};
