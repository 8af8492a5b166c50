#pragma once
// The base of the shell's forms: a window built from its stored description (an MDI
// frame, an MDI child or a dialog, as the description's style says), its caption, its
// show and close protocol (close query, close action, deferred release), and the table of
// its handlers by name that the stored event bindings refer to.
#include <QIcon>
#include <QPointer>
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "app/ShellControls.h"

class QMdiArea;
class QMenu;
class TMainMenu;
class TMenuItem;

enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm };
// (Scoped: the editor's border style shares the first two names.)
enum class TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : uint8_t { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
// What happens to a form that agreed to close.
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
// Title-bar buttons of a form, bit n for option n.
enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };

using TCloseEvent = std::function<void(TComponent* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;

// A fault in a stored form: names the form, the line and what was wrong.
class EFormError : public Exception {
public:
    EFormError(const std::string& form, int line, const std::string& what);
    std::string Form;
    int Line = 0;
};

class TShellForm : public TShellWinControl {
public:
    explicit TShellForm(TComponent* owner);
    // Frees the components, then the window. (OnDestroy must run before: DoDestroy.)
    ~TShellForm() override;
    const char* ClassName() const override { return "TShellForm"; }

    // The top-level window (a main window, an MDI child window or a dialog) once the
    // stored description has been read.
    QWidget* Window() const { return window_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The window icon: the name of a bitmap resource, or empty for the platform's own. The
    // main window's icon is also the application's, which its message boxes show.
    const std::string& Icon() const { return icon_; }
    void SetIcon(const std::string& resourceName);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style) { formStyle_ = style; }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }
    uint8_t BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(uint8_t icons) { borderIcons_ = icons; }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    // The client area's design size; 0 when the description gives the outer size instead.
    int ClientWidth() const { return clientWidth_; }
    void SetClientWidth(int width) { clientWidth_ = width; }
    int ClientHeight() const { return clientHeight_; }
    void SetClientHeight(int height) { clientHeight_ = height; }
    // Stored only; forms are not scaled by font size here.
    bool Scaled() const { return scaled_; }
    void SetScaled(bool scaled) { scaled_ = scaled; }

    // The menu bar of the form (a frame's main menu).
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    // The menu to which an MDI frame appends the list of its document windows.
    TMenuItem* WindowMenu() const { return windowMenu_; }
    void SetWindowMenu(TMenuItem* item);

    // The MDI area of a frame (nullptr for other forms).
    QMdiArea* MdiArea() const { return mdiArea_; }
    // The document windows of a frame, in creation order, and the active one.
    int MDIChildCount() const;
    TShellForm* MDIChildren(int index) const;
    TShellForm* ActiveMDIChild() const;

    // Shows the window (OnShow when it was hidden).
    void Show();
    void Hide();
    // Asks the form to close: the close query (for a frame, each document's first), then
    // OnClose with the form's default action, then that action.
    void Close();
    // The close query alone: true when the form may close.
    virtual bool CloseQuery();
    // The result a modal form ends with; a value other than 0 (none) ends the modal loop.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);
    // Shows a dialog form modally; its modal result (2, cancel, when closed otherwise).
    int ShowModal();
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // The handler named `name` (a std::function of the event's type), or nullptr.
    const std::any* FindHandler(std::string_view name) const;
    // Records the name a stored property gave (an event's handler, a glyph's resource), so
    // that writing the form gives it again.
    void NoteStoredName(const TComponent* component, const std::string& property, const std::string& name);
    std::string StoredName(const TComponent* component, const std::string& property) const;
    // Records the component that holds another in the description (its parent or menu).
    void NoteParent(const TComponent* child, TComponent* parent);
    TComponent* DescriptionParent(const TComponent* component) const;

    // Called by the form reader once the form's own properties are read: makes the window.
    void CreateWindow();
    // Handles a close request of the window; false when it must stay open.
    bool HandleCloseRequest();
    // Clicks the form's enabled Cancel button (Escape in a dialog); false when it has none.
    bool PressCancelButton();

protected:
    // Publishes a handler by name. Handler is a member function taking the event's
    // parameters; the stored form binds events to it by that name.
    template <class Event, class Form, class... Args>
    void Publish(const std::string& name, void (Form::*handler)(Args...)) {
        Form* self = static_cast<Form*>(this);
        handlers_[name] = Event([self, handler](Args... args) { (self->*handler)(args...); });
    }
    // Reads the stored description named after the form's class (its resource), binds
    // the form's fields to its components, runs OnCreate, and shows a visible form.
    void LoadForm();
    // Points the form's fields at the components of the description.
    virtual void BindComponents() {}
    // The component `name` of class T; EFormError when the description lacks it.
    template <class T> void Bind(T*& field, const char* name) {
        field = dynamic_cast<T*>(FindComponent(name));
        if (!field) throw EFormError(ClassName(), 0, std::string("the description holds no ") + name);
    }
    // Runs OnDestroy once; a form's destructor calls it first, while its handlers are valid.
    void DoDestroy();
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ApplyGeometry();
    void ApplyIcon();

    QPointer<QWidget> window_;
    QMdiArea* mdiArea_ = nullptr;
    std::string caption_;
    std::string icon_;
    QIcon iconImage_; // icon_'s image, read once
    TFormStyle formStyle_ = fsNormal;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    uint8_t borderIcons_ = (1 << biSystemMenu) | (1 << biMinimize) | (1 << biMaximize);
    TPosition position_ = poDesigned;
    int clientWidth_ = 0, clientHeight_ = 0;
    bool scaled_ = true;
    TMainMenu* menu_ = nullptr;
    TMenuItem* windowMenu_ = nullptr;
    int modalResult_ = 0;
    bool shown_ = false;
    bool destroyed_ = false;
    bool closing_ = false;
    std::map<std::string, std::any, std::less<>> handlers_;
    std::map<std::pair<const TComponent*, std::string>, std::string> bindings_;
    std::map<const TComponent*, TComponent*> parents_;
    QObject* windowWatcher_ = nullptr;
};
