#pragma once
// The application object of the windowing system: the shell's main and every test
// program that shows widgets start it first.
#include <exception>
#include <functional>

// Starts the application if none runs yet. argc and argv must outlive it.
void EnsureApplication(int& argc, char** argv);
void EnsureApplication(); // with the program name alone
bool ApplicationRunning();
// Runs the event loop until QuitApplication; returns its exit code.
int RunApplication();
void QuitApplication(int exitCode = 0);
// Handles what is pending now (events and posted messages) and returns.
void ProcessPendingEvents();
// Handles events for about `milliseconds` (bounded waits in tests, short pauses).
void ProcessEventsFor(int milliseconds);
// Ends the application object started by EnsureApplication (before main returns).
void ShutdownApplication();

// An exception that escapes the handling of an event is handed to `handler` (the shell
// shows it) rather than unwinding through the windowing system, which cannot carry it;
// the event counts as handled. Without a handler it is written to standard error.
// Returns the previous handler.
std::function<void(std::exception_ptr)> SetEventExceptionHandler(
    std::function<void(std::exception_ptr)> handler);
// Reports `error` through that handler, or to standard error without one. Never throws.
void HandleEventException(std::exception_ptr error);
