#include "platform/ScriptedDialogs.h"

void TScriptedDialogs::AnswerMessageBox(int result) { answers_.push_back({TKind::MessageBox, result, true, {}, {}}); }

void TScriptedDialogs::AnswerOpenFile(std::optional<std::string> fileName) {
    answers_.push_back({TKind::OpenFile, 0, fileName.has_value(), fileName.value_or(""), {}});
}

void TScriptedDialogs::AnswerSaveFile(std::optional<std::string> fileName) {
    answers_.push_back({TKind::SaveFile, 0, fileName.has_value(), fileName.value_or(""), {}});
}

void TScriptedDialogs::AnswerPrint(std::optional<TPrintDialogOptions> choice) {
    answers_.push_back({TKind::Print, 0, choice.has_value(), {}, choice.value_or(TPrintDialogOptions{})});
}

void TScriptedDialogs::AnswerPrinterSetup(bool ok) { answers_.push_back({TKind::PrinterSetup, 0, ok, {}, {}}); }

void TScriptedDialogs::AnswerInput(std::optional<std::string> value) {
    answers_.push_back({TKind::InputQuery, 0, value.has_value(), value.value_or(""), {}});
}

size_t TScriptedDialogs::UnexpectedCalls() const {
    size_t n = 0;
    for (const TCall& c : calls_) n += c.Expected ? 0 : 1;
    return n;
}

std::optional<TScriptedDialogs::TAnswer> TScriptedDialogs::Take(TKind kind, TCall& call) {
    if (answers_.empty() || answers_.front().Kind != kind) {
        call.Expected = false;
        calls_.push_back(call);
        return std::nullopt;
    }
    TAnswer a = answers_.front();
    answers_.pop_front();
    calls_.push_back(call);
    return a;
}

int TScriptedDialogs::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    TCall call{TKind::MessageBox, text, caption, flags, {}, {}, true};
    auto a = Take(TKind::MessageBox, call);
    return a ? a->Result : MessageBoxCancelResult(flags);
}

bool TScriptedDialogs::OpenFileDialog(TFileDialogOptions& options) {
    TCall call{TKind::OpenFile, {}, options.Title, 0, options, {}, true};
    auto a = Take(TKind::OpenFile, call);
    if (!a || !a->Ok) return false;
    options.FileName = a->Text;
    return true;
}

bool TScriptedDialogs::SaveFileDialog(TFileDialogOptions& options) {
    TCall call{TKind::SaveFile, {}, options.Title, 0, options, {}, true};
    auto a = Take(TKind::SaveFile, call);
    if (!a || !a->Ok) return false;
    options.FileName = a->Text;
    return true;
}

bool TScriptedDialogs::PrintDialog(TPrintDialogOptions& options) {
    TCall call{TKind::Print, {}, {}, 0, {}, options, true};
    auto a = Take(TKind::Print, call);
    if (!a || !a->Ok) return false;
    options = a->Print;
    return true;
}

bool TScriptedDialogs::PrinterSetupDialog() {
    TCall call{TKind::PrinterSetup, {}, {}, 0, {}, {}, true};
    auto a = Take(TKind::PrinterSetup, call);
    return a && a->Ok;
}

bool TScriptedDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    TCall call{TKind::InputQuery, prompt, caption, 0, {}, {}, true};
    call.File.FileName = value; // the value shown initially
    auto a = Take(TKind::InputQuery, call);
    if (!a || !a->Ok) return false;
    value = a->Text;
    return true;
}
