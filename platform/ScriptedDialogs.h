#pragma once
// Dialogs answered from a script, for tests: each dialog takes the next scripted answer,
// which must be of its kind. A dialog without a fitting answer is recorded as unexpected
// and answered as cancelled, so a test never blocks and still sees what went wrong.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

class TScriptedDialogs final : public IDialogs {
public:
    enum class TKind { MessageBox, OpenFile, SaveFile, Print, PrinterSetup, InputQuery };

    // What a dialog was asked to show.
    struct TCall {
        TKind Kind;
        std::string Text, Caption; // message or prompt; caption or title
        UINT Flags = 0;
        TFileDialogOptions File;
        TPrintDialogOptions Print;
        bool Expected = true;
    };

    void AnswerMessageBox(int result);
    // nullopt: the user cancels.
    void AnswerOpenFile(std::optional<std::string> fileName);
    void AnswerSaveFile(std::optional<std::string> fileName);
    void AnswerPrint(std::optional<TPrintDialogOptions> choice);
    void AnswerPrinterSetup(bool ok);
    void AnswerInput(std::optional<std::string> value);

    const std::vector<TCall>& Calls() const { return calls_; }
    size_t PendingAnswers() const { return answers_.size(); }
    size_t UnexpectedCalls() const;

    int MessageBox(const std::string& text, const std::string& caption, UINT flags) override;
    bool OpenFileDialog(TFileDialogOptions& options) override;
    bool SaveFileDialog(TFileDialogOptions& options) override;
    bool PrintDialog(TPrintDialogOptions& options) override;
    bool PrinterSetupDialog() override;
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;

private:
    struct TAnswer {
        TKind Kind;
        int Result = 0;
        bool Ok = false;
        std::string Text;
        TPrintDialogOptions Print;
    };
    // The next answer when it is of `kind`; otherwise records the call as unexpected.
    std::optional<TAnswer> Take(TKind kind, TCall& call);

    std::deque<TAnswer> answers_;
    std::vector<TCall> calls_;
};
