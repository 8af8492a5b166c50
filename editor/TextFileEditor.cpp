// The text file editor: its file name and open state, loading, saving and attaching.
#include "editor/TextFileEditor.h"

#include <utility>

#include "components/ZalExcpt.h"
#include "editor/TextFileSaver.h"
#include "platform/Cursors.h"

namespace {

// The hourglass while a file is read or written, restored however that ends.
class THourglass : public TScreenCursorScope {
public:
    THourglass() : TScreenCursorScope(LoadCursor(IDC_WAIT)) {}
};

} // namespace

void TZalCustomTextFileEditor::SetFileName(std::string_view name) {
    std::string normalized = NormalizeFileName(name);
    // Exact comparison: names that differ in letter case are different files here.
    if (normalized == fileName_) return;
    const bool wasOpen = isOpen_;
    isOpen_ = false;
    fileName_ = std::move(normalized);
    if (IsDesigning()) SetIsOpen(wasOpen);
}

void TZalCustomTextFileEditor::SetIsOpen(bool open) {
    if (open == isOpen_ || fileName_.empty()) return;
    if (IsLoading()) {
        isOpen_ = open; // Loaded acts once the form is read
        return;
    }
    if (open) {
        LoadFromFile(fileName_); // open once it has loaded
        return;
    }
    isOpen_ = false;
    Clear(true);
    ResetScrollBars(true);
    CreateDesignText();
    lineEnd_ = TLineEnd::Lf;
    loadReport_ = TLoadReport{};
}

void TZalCustomTextFileEditor::Loaded() {
    TZalCustomEditor::Loaded();
    if (!isOpen_) return;
    isOpen_ = false; // open once it has loaded
    LoadFromFile(fileName_);
}

void TZalCustomTextFileEditor::Attach(TZalCustomEditor* editor) {
    if (!editor) return;
    // Checked first, so that a refused editor leaves this view on its own text.
    const auto* other = dynamic_cast<const TZalCustomTextFileEditor*>(editor);
    if (!other)
        throw EInvalidCast(std::string("Invalid class typecast: a ") + editor->ClassName() +
                           " is not a text file editor");
    TZalCustomEditor::Attach(editor);
    fileName_ = other->fileName_;
    lineEnd_ = other->lineEnd_;
}

void TZalCustomTextFileEditor::LoadFromFile(const std::string& name) {
    if (name.empty()) return;
    std::string normalized = NormalizeFileName(name);
    if (normalized != fileName_) {
        isOpen_ = false; // another file: a failure is that file's first load
        fileName_ = std::move(normalized);
    }
    // The text is replaced only once the file gives its first line (or turns out empty):
    // a file that cannot be opened, read or held costs the text, its unsaved changes and
    // the open state nothing.
    bool replaced = false;
    auto replaceText = [&] {
        if (replaced) return;
        Clear(true);
        replaced = true;
    };
    TLoadReport report;
    try {
        THourglass busy;
        const bool trim = trimWhiteSpace_;
        LoadTextFile(fileName_, LoadLimitsOf(*list_, trim),
                     [&](std::string_view line) {
                         replaceText();
                         return AppendLoadedLine(*list_, line, trim);
                     },
                     report);
        replaceText();
        ResetScrollBars(true);
    } catch (...) {
        if (replaced) {
            lineEnd_ = report.LineEnd;
            loadReport_ = report;
            SetIsOpen(false); // a reload empties what it read; a first load keeps it
        }
        if (IsLoading()) return;
        throw;
    }
    lineEnd_ = report.LineEnd;
    loadReport_ = report;
    isOpen_ = true;
}

void TZalCustomTextFileEditor::SaveToFile(const std::string& name) {
    if (IsDesigning() || name.empty()) return;
    {
        THourglass busy;
        TSaveOptions options;
        options.LineEnd = lineEnd_;
        options.MakeBackup = makeBackup_;
        options.BackupExt = backupExt_;
        SaveTextFile(*list_, name, options);
    }
    SetModified(false);
}
