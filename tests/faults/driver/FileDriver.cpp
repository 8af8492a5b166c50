// A stand-in for the program in the fault tests: one text file editor on a form, driven
// by commands on standard input, one per line, each answered by one line on standard
// output ("ok ..." or "error <message>"):
//   open PATH     loads the file; answers with the paragraph count and the load report
//   type TEXT     types TEXT at the caret, character by character, as keys do
//   save          answers "saving" before it starts, then how the save ended
//   quit          ends the program
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "components/Controls.h"
#include "components/ZalBase.h"
#include "components/ZalCmdCodes.h"
#include "components/ZalExcpt.h"
#include "editor/TextFileEditor.h"
#include "platform/Application.h"

namespace {

void Answer(const std::string& line) {
    std::cout << line << std::endl; // flushed: the test waits for each answer
}

std::string ReportOf(const TZalTextFileEditor& e) {
    const TLoadReport& r = e.LoadReport();
    return "paras=" + std::to_string(e.ParaCount()) + " changed=" + std::to_string(r.Changed()) +
           " zero=" + std::to_string(r.ZeroByteLines) + " control=" + std::to_string(r.ControlByteLines) +
           " split=" + std::to_string(r.SplitLines) + " trimmed=" + std::to_string(r.TrimmedLines) +
           " other=" + std::to_string(r.OtherLineEnds) + " aftermark=" + std::to_string(r.TextAfterEndMark);
}

void Serve(TZalTextFileEditor& editor) {
    for (std::string line; std::getline(std::cin, line);) {
        const size_t space = line.find(' ');
        const std::string command = line.substr(0, space);
        const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
        try {
            if (command == "open") {
                editor.LoadFromFile(argument);
                Answer("ok " + ReportOf(editor));
            } else if (command == "type") {
                for (char c : argument) editor.ProcessCommand(ccInsertChar, c);
                Answer("ok");
            } else if (command == "save") {
                Answer("saving");
                editor.SaveToFile(editor.FileName());
                Answer("ok");
            } else if (command == "quit") {
                return;
            } else {
                Answer("error unknown command");
            }
        } catch (const Exception& e) {
            Answer("error " + e.Message());
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    EnsureApplication(argc, argv);
    {
        TForm form(nullptr); // gone before the application object
        form.SetBounds(0, 0, 800, 600);
        NewComponent<TZalController>(&form);
        auto* editor = NewComponent<TZalTextFileEditor>(&form);
        editor->SetParent(&form);
        editor->SetBounds(0, 0, 780, 580);
        editor->HandleNeeded();
        Serve(*editor);
    }
    ShutdownApplication();
    return 0;
}
