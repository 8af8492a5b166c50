// The application's error report box.
#include "app/ErrorReport.h"

#include <cstdio>

#include "components/Component.h"
#include "components/ZalExcpt.h"
#include "platform/Dialogs.h"

std::string ErrorReportText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

std::string ExceptionMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

void ShowErrorReport(std::exception_ptr error, const std::string& caption) {
    if (!error) return;
    const std::string text = ErrorReportText(ExceptionMessage(error));
    try {
        MessageBox(text, caption, MB_OK | MB_ICONERROR);
    } catch (...) {
        // The report itself failed (no windowing system): the message still reaches a person.
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
}

void RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

void WithFileName(const std::string& fileName, const std::function<void()>& operation) {
    try {
        operation();
    } catch (const Exception& e) {
        if (fileName.empty() || e.Message().find(fileName) != std::string::npos) throw;
        throw Exception(fileName + ": " + e.Message());
    }
}

std::string PartialTextMessage(const std::string& fileName) {
    return fileName + ": this file was not loaded whole; saving it there would cut the file "
                      "short. Save the text under another name";
}
