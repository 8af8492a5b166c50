#pragma once
// The text file editor: the editor control bound to a file it loads from and saves to.
#include <string>
#include <string_view>

#include "editor/TextFileFormat.h"
#include "editor/TextFileLoader.h"
#include "editor/ZalEdit.h"

class TZalCustomTextFileEditor : public TZalCustomEditor {
public:
    // Starts bound to no file: backup extension "BAK", no backup, not open.
    using TZalCustomEditor::TZalCustomEditor;
    const char* ClassName() const override { return "TZalCustomTextFileEditor"; }

    // Extension given to backup files, without the dot; longer values are cut to 3.
    const std::string& BackupExt() const { return backupExt_; }
    void SetBackupExt(std::string_view ext) { backupExt_ = CutBackupExt(ext); }
    // The file the editor is bound to. Another name (compared exactly) marks the editor
    // not open without touching the text; in design mode the new file is loaded when the
    // old one was open.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string_view name);
    // Whether a stored form holds FileName (not while it is empty).
    bool FileNameStored() const { return !fileName_.empty(); }
    // Saving keeps the previous file under the backup name.
    bool MakeBackup() const { return makeBackup_; }
    void SetMakeBackup(bool on) { makeBackup_ = on; }
    // The text was loaded from FileName. Setting it (only with a FileName) loads the file
    // (true) or empties the text (false); while a stored form is read, Loaded acts later.
    bool IsOpen() const { return isOpen_; }
    void SetIsOpen(bool open);
    // How the lines of the document end in its file: the first line end of the file it
    // was loaded from, LF for a new text. Saving writes every line end in this style.
    TLineEnd LineEnd() const { return lineEnd_; }
    void SetLineEnd(TLineEnd style) { lineEnd_ = style; }
    // What the last load read and what of it saving will write differently, so that the
    // application can tell the user once after opening; empty until a load.
    const TLoadReport& LoadReport() const { return loadReport_; }

    // Shares the text of `editor`, which must be a text file editor (EInvalidCast
    // otherwise, nothing changed), and takes its file name and line-end style.
    void Attach(TZalCustomEditor* editor) override;
    // Binds the editor to `name` and replaces the text by the file's lines; IsOpen on
    // success. An empty name does nothing. On failure the error propagates (dropped while
    // a stored form is read): a file that gave no line (cannot be opened or read, larger
    // than ByteLimit) leaves the text, Modified and IsOpen as they were; otherwise a first
    // load keeps the lines read before the failure and a reload of the open file empties
    // the text, and the editor is not open.
    virtual void LoadFromFile(const std::string& name);
    // Writes the text to `name` (FileName and IsOpen stay), atomically, with the backup
    // when MakeBackup; clears Modified on success. Nothing in design mode or for an empty
    // name. A failure raises EInOutError and changes neither the file nor the text.
    virtual void SaveToFile(const std::string& name);

protected:
    // Loads FileName when the stored form said IsOpen.
    void Loaded() override;

private:
    std::string backupExt_{kDefaultBackupExt};
    std::string fileName_;
    bool makeBackup_ = false;
    bool isOpen_ = false;
    TLineEnd lineEnd_ = TLineEnd::Lf;
    TLoadReport loadReport_;
};

// The text file editor the application puts in its document windows.
class TZalTextFileEditor : public TZalCustomTextFileEditor {
public:
    using TZalCustomTextFileEditor::TZalCustomTextFileEditor;
    const char* ClassName() const override { return "TZalTextFileEditor"; }
};
