// The common dialogs as form components.
#include "app/CommonDialogs.h"

#include "platform/Dialogs.h"

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

bool TOpenDialog::Run(bool save) {
    TFileDialogOptions o;
    o.Title = Title;
    o.Filter = Filter;
    o.FilterIndex = FilterIndex;
    o.InitialDir = InitialDir;
    o.FileName = FileName;
    o.DefaultExt = DefaultExt;
    o.FileMustExist = HasOption(ofFileMustExist);
    o.OverwritePrompt = HasOption(ofOverwritePrompt);
    const bool ok = save ? Dialogs().SaveFileDialog(o) : Dialogs().OpenFileDialog(o);
    if (!ok) return false;
    FileName = o.FileName;
    FilterIndex = o.FilterIndex;
    return true;
}

bool TOpenDialog::Execute() { return Run(false); }

bool TSaveDialog::Execute() { return Run(true); }

TPrintDialog::TPrintDialog(TComponent* owner) : TComponent(owner) {}

bool TPrintDialog::Execute() {
    TPrintDialogOptions o;
    o.Copies = Copies > 0 ? Copies : 1;
    o.AllowPageNums = Options & (1u << poPageNums);
    o.AllowSelection = Options & (1u << poSelection);
    o.PrintRange = PrintRange == prSelection   ? TPrintDialogOptions::Selection
                   : PrintRange == prPageNums ? TPrintDialogOptions::PageNums
                                              : TPrintDialogOptions::AllPages;
    if (!Dialogs().PrintDialog(o)) return false;
    Copies = o.Copies;
    PrintRange = o.PrintRange == TPrintDialogOptions::Selection  ? prSelection
                 : o.PrintRange == TPrintDialogOptions::PageNums ? prPageNums
                                                                 : prAllPages;
    return true;
}

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* owner) : TComponent(owner) {}

bool TPrinterSetupDialog::Execute() { return Dialogs().PrinterSetupDialog(); }
