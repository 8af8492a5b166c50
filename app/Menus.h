#pragma once
// Menus: a frame's main menu (its menu bar), pop-up menus, and their items with captions
// and access keys, shortcuts, hints, check marks, enabling and click handlers.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <string>
#include <vector>

#include "components/Component.h"

class QKeyEvent;
class TMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    // Leaves its parent; its action and sub-menu go with it.
    ~TMenuItem() override;
    const char* ClassName() const override { return "TMenuItem"; }

    // "&" marks the access key; "-" makes the item a separator.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Shown whole in the status line while the item is highlighted.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    // A key with modifiers in the portable text form ("Ctrl+N", "Shift+Ctrl+Z", "F3");
    // empty for none. A text that names no single key raises EConvertError.
    const std::string& ShortCut() const { return shortCut_; }
    void SetShortCut(const std::string& shortCut);
    QKeySequence KeySequence() const { return keys_; }

    // Runs when the item is chosen, or for an item with a sub-menu, when it opens.
    TNotifyEvent OnClick;
    // Runs OnClick when the item and every menu above it are enabled; what it raises
    // goes to the application's error report.
    void Click();
    // The item and all its parents are enabled.
    bool EffectivelyEnabled() const;

    TMenuItem* Parent() const { return parent_; }
    TMenu* Menu() const; // the menu at the top of the item's tree, or nullptr
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const; // EListError outside the list
    // Appends `item` (taking it from its old parent).
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);

    QAction* Action() const { return action_; }
    // The drop-down of an item with children (made when the first child is added).
    QMenu* SubMenu() const { return subMenu_; }
    // The item that owns a Qt action, or nullptr.
    static TMenuItem* FromAction(const QAction* action);

    // Searches this item's tree for an enabled-or-not item whose shortcut is the key.
    TMenuItem* FindShortCut(const QKeyEvent& key);

private:
    friend class TMenu;
    void ApplyCaption();
    void EnsureSubMenu();

    std::string caption_;
    bool checked_ = false, enabled_ = true, visible_ = true;
    std::string hint_;
    std::string shortCut_;
    QKeySequence keys_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // set on the root item
    std::vector<TMenuItem*> items_;
    QPointer<QAction> action_;
    QPointer<QMenu> subMenu_;
};

// A menu: the root item whose children are the menu's items.
class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    const char* ClassName() const override { return "TMenu"; }

    TMenuItem& Items() { return root_; }
    const TMenuItem& Items() const { return root_; }
    // The widget that shows the items (a menu bar or a pop-up).
    virtual QWidget* Widget() const = 0;

    // The item whose shortcut is this key, whether enabled or not, or nullptr.
    TMenuItem* FindShortCut(const QKeyEvent& key) { return root_.FindShortCut(key); }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TMenuItem root_{nullptr};
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;
    const char* ClassName() const override { return "TMainMenu"; }
    QMenuBar* MenuBar() const { return bar_; }
    QWidget* Widget() const override;

private:
    QPointer<QMenuBar> bar_;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;
    const char* ClassName() const override { return "TPopupMenu"; }
    QMenu* PopupWidget() const { return popup_; }
    QWidget* Widget() const override;
    // Shows the menu at a screen position.
    void Popup(int x, int y);

private:
    QPointer<QMenu> popup_;
};
