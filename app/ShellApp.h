#pragma once
// The shell's application and screen objects: the owner of the program's forms, the
// application title and hint, the report of errors that escape commands and events, the
// deferred release of closed forms, the message loop, and the active-form notification.
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "components/Component.h"

class QObject;
class TShellForm;
class TScreen;

class TApplication : public TComponent {
public:
    // Becomes the process's Application (and makes its Screen); the error report becomes
    // the handler of what escapes events and commands; hint tracking starts.
    TApplication();
    // Frees every form, newest first, then puts the previous exception handler back.
    ~TApplication() override;
    const char* ClassName() const override { return "TApplication"; }

    // The title: the caption of the error report.
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }

    // The command line: the program, then its arguments as given.
    const std::vector<std::string>& Arguments() const { return arguments_; }
    void SetArguments(std::vector<std::string> arguments) { arguments_ = std::move(arguments); }

    // The long hint of what the pointer rests on; OnHint follows every change.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    TNotifyEvent OnHint;

    // Creates a form of class T owned by the application from its stored description;
    // the first form created is the main form.
    template <class T> T* CreateForm() {
        T* form = NewComponent<T>(this);
        if (!mainForm_) mainForm_ = form;
        return form;
    }
    TShellForm* MainForm() const { return mainForm_; }

    // The error report for `error`, captioned with the title.
    void ShowException(std::exception_ptr error);
    // Runs `command`; an error escaping it reaches the error report.
    void Guard(const std::function<void()>& command);

    // Frees `form` once the event being handled is over (a form cannot free itself while
    // it handles its own close).
    void Release(TComponent* form);

    // Shows the main form and runs the message loop until Terminate; the exit code.
    int Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ReleasePending();

    std::string title_;
    std::vector<std::string> arguments_;
    std::string hint_;
    TShellForm* mainForm_ = nullptr;
    std::vector<TComponent*> released_;
    QObject* context_ = nullptr;
    QObject* hintTracker_ = nullptr;
    TScreen* screen_ = nullptr;
    TExceptionHandler previousHandler_;
    bool terminated_ = false;
};

// The screen: tells the shell when the active form changes (a document window opened,
// activated or closed, a dialog opened or closed).
class TScreen {
public:
    TScreen();
    ~TScreen();
    TScreen(const TScreen&) = delete;
    TScreen& operator=(const TScreen&) = delete;

    TNotifyEvent OnActiveFormChange;
    // Raises OnActiveFormChange when assigned.
    void ActiveFormChanged();

private:
    QObject* context_ = nullptr;
};

// The application object and its screen while one exists.
extern TApplication* Application;
extern TScreen* Screen;
