// The shell's application and screen objects.
#include "app/ShellApp.h"

#include <QApplication>
#include <QWindow>
#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <utility>

#include "app/ErrorReport.h"
#include "app/Hints.h"
#include "app/ShellForm.h"
#include "platform/Application.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

TApplication::TApplication() : TComponent(nullptr), context_(new QObject) {
    Application = this;
    screen_ = new TScreen;
    Screen = screen_;
    hintTracker_ = InstallHintTracker();
    previousHandler_ = SetApplicationExceptionHandler([this](std::exception_ptr error) { ShowException(error); });
}

TApplication::~TApplication() {
    Destroying();
    delete context_; // drops queued releases
    // The forms go now, while the application, its screen and its handlers still exist.
    released_.clear();
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
    SetApplicationExceptionHandler(std::move(previousHandler_));
    delete hintTracker_;
    delete screen_;
    Screen = nullptr;
    if (Application == this) Application = nullptr;
}

void TApplication::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(this);
}

void TApplication::ShowException(std::exception_ptr error) { ShowErrorReport(error, title_); }

void TApplication::Guard(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

void TApplication::Release(TComponent* form) {
    if (!form || std::find(released_.begin(), released_.end(), form) != released_.end()) return;
    released_.push_back(form);
    FreeNotification(form);
    QMetaObject::invokeMethod(context_, [this] { ReleasePending(); }, Qt::QueuedConnection);
}

void TApplication::ReleasePending() {
    while (!released_.empty()) {
        TComponent* form = released_.front();
        released_.erase(released_.begin());
        delete form;
    }
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    std::erase(released_, component);
    if (component == mainForm_) mainForm_ = nullptr;
}

int TApplication::Run() {
    if (mainForm_) Guard([this] { mainForm_->Show(); });
    if (terminated_) return 0;
    return RunApplication();
}

void TApplication::Terminate() {
    terminated_ = true;
    QuitApplication(0);
}

TScreen::TScreen() : context_(new QObject) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::focusWindowChanged, context_, [this] { ActiveFormChanged(); });
}

TScreen::~TScreen() { delete context_; }

void TScreen::ActiveFormChanged() {
    if (OnActiveFormChange) OnActiveFormChange(nullptr);
}
