#pragma once
// The application's error report: what escapes a command is shown in a box captioned with
// the application title, with the error icon and the error's message.
#include <exception>
#include <functional>
#include <string>

// The message as the box shows it: a full stop is added when the last character sorts
// after the full stop (so "Disk full" gets one and "Done." or "Why?" keep theirs).
std::string ErrorReportText(const std::string& message);
// The message of an exception object (its what(), or a generic text for other objects).
std::string ExceptionMessage(std::exception_ptr error);
// Shows the box for `error` with `caption`. Never throws.
void ShowErrorReport(std::exception_ptr error, const std::string& caption);
// Runs a command raised by the user (a click, a chosen menu item): what it raises goes to
// the application's error report instead of unwinding through the windowing system.
void RunCommand(const std::function<void()>& command);
// Runs an operation on the file `fileName`; a library error whose message does not name
// the file is raised again with the name in front, so the report says which file failed.
void WithFileName(const std::string& fileName, const std::function<void()>& operation);

// The refusal to save a text that holds only part of its file (or none) back over that file.
std::string PartialTextMessage(const std::string& fileName);
