#include "platform/Application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include "platform/Window.h"

namespace {
QApplication* g_app = nullptr;
int g_argc = 1;
char g_name[] = "marvolt";
char* g_argv[] = {g_name, nullptr};
} // namespace

void EnsureApplication(int& argc, char** argv) {
    if (QCoreApplication::instance()) return;
    g_app = new QApplication(argc, argv);
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
