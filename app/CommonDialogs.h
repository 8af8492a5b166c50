#pragma once
// The common dialogs as components of a form: the open-file and save-file dialogs (title,
// filter, default extension, options, and the file and filter last chosen), the print
// dialog and the printer-setup dialog. Each shows the platform's dialog through the
// dialog interface, so tests answer them from a script.
#include <cstdint>
#include <string>

#include "components/Component.h"

// Options of the file dialogs; bit n is option n.
enum TOpenOption : uint8_t {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
};

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner);
    const char* ClassName() const override { return "TOpenDialog"; }

    std::string DefaultExt; // added to a typed name without an extension (no dot)
    std::string FileName;   // preset before, the chosen file after a confirmed dialog
    std::string Filter;     // "description|patterns|..." pairs
    int FilterIndex = 1;    // the choice the dialog starts with; the last one made after
    std::string InitialDir;
    uint32_t Options = 0;
    std::string Title;

    bool HasOption(TOpenOption option) const { return Options & (1u << option); }
    // Shows the dialog; true when the user confirmed a file.
    virtual bool Execute();

protected:
    bool Run(bool save);
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    const char* ClassName() const override { return "TSaveDialog"; }
    bool Execute() override;
};

// Options of the print dialog; bit n is option n.
enum TPrintDialogOption : uint8_t { poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile };
enum TPrintRange : uint8_t { prAllPages, prSelection, prPageNums };

class TPrintDialog : public TComponent {
public:
    explicit TPrintDialog(TComponent* owner);
    const char* ClassName() const override { return "TPrintDialog"; }

    uint32_t Options = 0;
    int Copies = 0;
    // The range chosen: kept for the next use.
    TPrintRange PrintRange = prAllPages;
    // Shows the dialog; true when the user asked to print.
    bool Execute();
};

class TPrinterSetupDialog : public TComponent {
public:
    explicit TPrinterSetupDialog(TComponent* owner);
    const char* ClassName() const override { return "TPrinterSetupDialog"; }
    bool Execute();
};
