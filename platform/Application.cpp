#include "platform/Application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <utility>

#include "platform/Window.h"

namespace {
std::function<void(std::exception_ptr)> g_eventExceptionHandler;

// Catches what an event handler throws: Qt's event loop must not be unwound.
class TGuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            HandleEventException(std::current_exception());
            return true;
        }
    }
};

QApplication* g_app = nullptr;
int g_argc = 1;
char g_name[] = "marvolt";
char* g_argv[] = {g_name, nullptr};
} // namespace

void EnsureApplication(int& argc, char** argv) {
    if (QCoreApplication::instance()) return;
    g_app = new TGuardedApplication(argc, argv);
}

void EnsureApplication() { EnsureApplication(g_argc, g_argv); }

bool ApplicationRunning() { return QCoreApplication::instance() != nullptr; }

int RunApplication() { return QCoreApplication::instance() ? QApplication::exec() : -1; }

void QuitApplication(int exitCode) { QCoreApplication::exit(exitCode); }

void ProcessPendingEvents() { ProcessMessages(); }

void ProcessEventsFor(int milliseconds) {
    if (!QCoreApplication::instance()) return;
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents();
        if (timer.elapsed() < milliseconds) QThread::msleep(1);
    } while (timer.elapsed() < milliseconds);
}

void ShutdownApplication() {
    delete g_app;
    g_app = nullptr;
}

std::function<void(std::exception_ptr)> SetEventExceptionHandler(
    std::function<void(std::exception_ptr)> handler) {
    return std::exchange(g_eventExceptionHandler, std::move(handler));
}

void HandleEventException(std::exception_ptr error) {
    if (!error) return;
    try {
        if (g_eventExceptionHandler) {
            g_eventExceptionHandler(error);
            return;
        }
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Unknown exception\n");
    }
}
