#pragma once
// The framework's controls: the control tree (a parent holds its child controls, each
// with bounds in the parent's client area and a visibility), windowed controls that own
// a native window while it exists, windowless (graphic) controls painted by their
// parent, forms as top-level owners and parents, and labels.
#include <cstdint>
#include <string>
#include <vector>

#include "components/Component.h"
#include "platform/Canvas.h"
#include "platform/Messages.h"
#include "platform/ShiftState.h"
#include "platform/Types.h"
#include "platform/Window.h"
#include "platform/WindowlessControl.h"

class TWinControl;
class TCustomForm;

class TControl : public TComponent, public IMessageHandler {
public:
    explicit TControl(TComponent* owner);
    // Leaves the parent's list of controls.
    ~TControl() override;
    const char* ClassName() const override { return "TControl"; }

    TWinControl* Parent() const { return parent_; }
    // Moves the control to another parent's list (nullptr: none).
    virtual void SetParent(TWinControl* parent);

    // Bounds in the parent's client coordinates.
    virtual TRect BoundsRect() const = 0;
    int Left() const { return BoundsRect().Left; }
    int Top() const { return BoundsRect().Top; }
    int Width() const { return BoundsRect().Width(); }
    int Height() const { return BoundsRect().Height(); }
    virtual void SetBounds(int left, int top, int width, int height) = 0;
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Visible, and so are all the parents.
    bool Showing() const;
    // A disabled control takes no input.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The font: the parent's while ParentFont is on.
    const TFontDesc& Font() const;
    void SetFont(const TFontDesc& font); // switches ParentFont off
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);

    // Puts the control on top of its siblings.
    virtual void BringToFront();

    // Hands a message straight to the control's message handling.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void WndProc(TMessage& message) override;

protected:
    // What the control does with a message nobody handled.
    virtual void DefaultHandler(TMessage& message);
    // The platform object's side of the control's state.
    virtual void ApplyParent() = 0;
    virtual void ApplyVisible() = 0;
    virtual void ApplyEnabled() = 0;
    // After Visible changed.
    virtual void VisibleChanged() {}
    // After the effective font changed.
    virtual void FontChanged();

private:
    friend class TWinControl;
    TWinControl* parent_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    bool parentFont_ = true;
    TFontDesc font_;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    // Frees the child controls (the last first), then the native window goes.
    ~TWinControl() override;
    const char* ClassName() const override { return "TWinControl"; }

    TWindow& Window() { return window_; }
    const TWindow& Window() const { return window_; }
    // The native window, created (with the parents' first) when it does not exist yet.
    HWND Handle();
    bool HandleAllocated() const { return window_.HandleAllocated(); }
    void HandleNeeded();
    void DestroyHandle();
    // Makes the native windows again (after a style change), through CreateWnd.
    void RecreateWnd();

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const; // EListError outside the list

    TRect BoundsRect() const override { return window_.BoundsRect(); }
    void SetBounds(int left, int top, int width, int height) override;
    TRect ClientRect() const { return window_.ClientRect(); }
    // Placed on a parent whose window exists, the control makes its own window at once.
    void SetParent(TWinControl* parent) override;
    void BringToFront() override;

    bool Focused() const;
    void SetFocus();

protected:
    // Makes the native window: the parent's first, then this one, then those of the
    // child controls. Overrides check what they need before calling it.
    virtual void CreateWnd();
    void DefaultHandler(TMessage& message) override;
    void ApplyParent() override;
    void ApplyVisible() override;
    void ApplyEnabled() override;
    void FontChanged() override;

private:
    friend class TControl;
    TWindow window_;
    std::vector<TControl*> controls_;
};

// A windowed control that paints itself.
class TCustomControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TCustomControl"; }

protected:
    void WndProc(TMessage& message) override;
    virtual void Paint(TCanvas&) {}
};

// A windowless control, painted by its parent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    const char* ClassName() const override { return "TGraphicControl"; }

    TWindowlessControl& Graphic() { return graphic_; }
    TRect BoundsRect() const override { return graphic_.BoundsRect(); }
    void SetBounds(int left, int top, int width, int height) override;
    void BringToFront() override;
    void Invalidate() { graphic_.Invalidate(); }

protected:
    void WndProc(TMessage& message) override;
    // Painting on the parent's canvas, origin at the control's corner.
    virtual void Paint(TCanvas&) {}
    void ApplyParent() override;
    void ApplyVisible() override;
    void ApplyEnabled() override;

private:
    TWindowlessControl graphic_;
};

// A top-level window: the owner of a form's components and the parent of its controls.
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    const char* ClassName() const override { return "TCustomForm"; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }

private:
    std::string caption_;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
    const char* ClassName() const override { return "TForm"; }
};

// The nearest form in the control's parent chain (the control itself included).
TCustomForm* GetParentForm(TControl* control);
// The control whose native window this is, or nullptr.
TWinControl* FindControl(HWND window);
// The key state of a mouse message (MK_ flags) with the Alt state of the keyboard.
TShiftState KeysToShiftState(uint16_t keys);

// A text caption on its parent.
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);
    ~TCustomLabel() override;
    const char* ClassName() const override { return "TCustomLabel"; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // On: the label takes the size of its caption whenever the caption or font changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // Off: the background is filled before the caption is drawn.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // The control that its accelerator focuses; cleared when that control goes away.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);

protected:
    void Paint(TCanvas& canvas) override;
    void FontChanged() override;
    void Notification(TComponent* component, TOperation operation) override;
    // Resizes to the caption when AutoSize is on.
    void AdjustBounds();

private:
    std::string caption_;
    bool autoSize_ = true;
    bool transparent_ = false;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
    const char* ClassName() const override { return "TLabel"; }
};
