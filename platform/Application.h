#pragma once
// The application object of the windowing system: the shell's main and every test
// program that shows widgets start it first.

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
