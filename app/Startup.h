#pragma once
// Start-up and shut-down of the program, in order: the library's global objects (message
// strings, international settings, fixed-pitch family list), the application object with
// its title, the main window and the hidden Find dialog from their stored descriptions;
// then the message loop; at the end the globals go.
#include <memory>
#include <string>
#include <vector>

class TApplication;

// Creates the globals, the application (with `arguments`: the program, then its
// arguments) and the main window. An error on the way reaches the error report and
// gives nullptr.
std::unique_ptr<TApplication> StartApplication(std::vector<std::string> arguments);
// Frees the library's global objects (after the application object is gone).
void FreeGlobals();
// The whole program: start-up, the loop, shut-down; the exit code.
int RunMarvolt(int argc, char** argv);
