// The main window: frame, menus, toolbar, hint line, window arrangement and commands.
#include "app/Main.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "app/Buttons.h"
#include "app/Childwin.h"
#include "app/CommonDialogs.h"
#include "app/DlgFind.h"
#include "app/ErrorReport.h"
#include "app/LoadReport.h"
#include "app/Menus.h"
#include "app/Panels.h"
#include "app/ShellApp.h"
#include "app/StdControls.h"
#include "components/ZalSpeed.h"
#include "editor/TextFileEditor.h"
#include "platform/Cursors.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/NativeWindow.h"
#include "platform/Window.h"

TMainForm* MainForm = nullptr;

namespace {
// Creates an empty "NoName<n>.txt" in the current directory with the first number from
// `first` up whose file does not exist yet; an existing file is never opened for writing.
std::string CreateNoNameFile(int first) {
    for (long n = first; n <= INT_MAX; ++n) {
        const std::string name = "NoName" + std::to_string(n) + ".txt";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            throw EInOutError("Cannot create file \"" + name + "\": " + std::strerror(errno), errno);
    }
    throw EInOutError("Cannot create a new file: every NoName number is taken", EEXIST);
}

// The document windows of the frame that are not minimised.
QList<QMdiSubWindow*> Restored(QMdiArea& area) {
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized()) out << w;
    return out;
}

QList<QMdiSubWindow*> Minimized(QMdiArea& area) {
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && w->isMinimized()) out << w;
    return out;
}

// Lines up minimised windows from the bottom-left corner, row above row; returns the
// height the rows take.
int ArrangeIcons(QMdiArea& area) {
    const QRect r = area.viewport()->rect();
    int x = 0, y = r.bottom() + 1, rowHeight = 0, used = 0;
    for (QMdiSubWindow* w : Minimized(area)) {
        const QSize size = w->size();
        if (x > 0 && x + size.width() > r.width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        if (x == 0) {
            rowHeight = size.height();
            used = r.bottom() + 1 - (y - rowHeight);
        }
        w->move(x, y - rowHeight);
        x += size.width();
    }
    return used;
}
// Hands the key presses that reach the frame window to the menu shortcuts.
class TFrameKeys : public QObject {
public:
    TFrameKeys(TMainForm& form, QObject* parent) : QObject(parent), form_(form) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        return e->type() == QEvent::KeyPress && form_.TakeShortCut(static_cast<QKeyEvent*>(e));
    }

private:
    TMainForm& form_;
};
} // namespace

TMainForm::TMainForm(TComponent* owner) : TShellForm(owner) {
    MainForm = this;
    Publish<TNotifyEvent>("FormCreate", &TMainForm::FormCreate);
    Publish<TNotifyEvent>("FormShow", &TMainForm::FormShow);
    Publish<TNotifyEvent>("FormDestroy", &TMainForm::FormDestroy);
    Publish<TNotifyEvent>("FileNewItemClick", &TMainForm::FileNewItemClick);
    Publish<TNotifyEvent>("FileOpenItemClick", &TMainForm::FileOpenItemClick);
    Publish<TNotifyEvent>("FileCloseItemClick", &TMainForm::FileCloseItemClick);
    Publish<TNotifyEvent>("FileExitItemClick", &TMainForm::FileExitItemClick);
    Publish<TNotifyEvent>("FileSaveItemClick", &TMainForm::FileSaveItemClick);
    Publish<TNotifyEvent>("FileSaveAsItemClick", &TMainForm::FileSaveAsItemClick);
    Publish<TNotifyEvent>("CutBtnClick", &TMainForm::CutBtnClick);
    Publish<TNotifyEvent>("CopyBtnClick", &TMainForm::CopyBtnClick);
    Publish<TNotifyEvent>("PasteBtnClick", &TMainForm::PasteBtnClick);
    Publish<TNotifyEvent>("Undo1Click", &TMainForm::Undo1Click);
    Publish<TNotifyEvent>("Redo1Click", &TMainForm::Redo1Click);
    Publish<TNotifyEvent>("AllowBackup1Click", &TMainForm::AllowBackup1Click);
    Publish<TNotifyEvent>("WindowCascadeItemClick", &TMainForm::WindowCascadeItemClick);
    Publish<TNotifyEvent>("WindowTileItemClick", &TMainForm::WindowTileItemClick);
    Publish<TNotifyEvent>("WindowArrangeItemClick", &TMainForm::WindowArrangeItemClick);
    Publish<TNotifyEvent>("WindowMinimizeItemClick", &TMainForm::WindowMinimizeItemClick);
    Publish<TNotifyEvent>("ReadOnly1Click", &TMainForm::ReadOnly1Click);
    Publish<TNotifyEvent>("Search1Click", &TMainForm::Search1Click);
    Publish<TNotifyEvent>("HelpAboutItemClick", &TMainForm::HelpAboutItemClick);
    Publish<TNotifyEvent>("PrintSetup1Click", &TMainForm::PrintSetup1Click);
    Publish<TNotifyEvent>("Find1Click", &TMainForm::Find1Click);
    Publish<TNotifyEvent>("FindNext1Click", &TMainForm::FindNext1Click);
    Publish<TNotifyEvent>("Replace1Click", &TMainForm::Replace1Click);
    Publish<TNotifyEvent>("GotoLine1Click", &TMainForm::GotoLine1Click);
    Publish<TNotifyEvent>("Print1Click", &TMainForm::Print1Click);
    LoadForm();
    SetShellKeyFilter([this](QKeyEvent* key) { return TakeShortCut(key); });
    // Keys that no editor takes (none is open) travel up to the frame: the shortcuts
    // apply there too, or Ctrl+N and Ctrl+O would do nothing in an empty frame.
    if (Window()) Window()->installEventFilter(new TFrameKeys(*this, Window()));
}

TMainForm::~TMainForm() {
    DoDestroy();
    SetShellKeyFilter(nullptr);
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::BindComponents() {
    Bind(MainMenu1, "MainMenu1");
    Bind(StatusLine, "StatusLine");
    Bind(SpeedPanel, "SpeedPanel");
    Bind(FileNewItem, "FileNewItem");
    Bind(FileOpenItem, "FileOpenItem");
    Bind(FileCloseItem, "FileCloseItem");
    Bind(FileSaveItem, "FileSaveItem");
    Bind(FileSaveAsItem, "FileSaveAsItem");
    Bind(FileExitItem, "FileExitItem");
    Bind(Undo1, "Undo1");
    Bind(Redo1, "Redo1");
    Bind(CutItem, "CutItem");
    Bind(CopyItem, "CopyItem");
    Bind(PasteItem, "PasteItem");
    Bind(Search1, "Search1");
    Bind(Find1, "Find1");
    Bind(Replace1, "Replace1");
    Bind(FindNext1, "FindNext1");
    Bind(GotoLine1, "GotoLine1");
    Bind(Print1, "Print1");
    Bind(PrintSetup1, "PrintSetup1");
    Bind(AllowBackup1, "AllowBackup1");
    Bind(ReadOnly1, "ReadOnly1");
    Bind(Window1, "Window1");
    Bind(WindowCascadeItem, "WindowCascadeItem");
    Bind(WindowTileItem, "WindowTileItem");
    Bind(WindowArrangeItem, "WindowArrangeItem");
    Bind(WindowMinimizeItem, "WindowMinimizeItem");
    Bind(HelpAboutItem, "HelpAboutItem");
    Bind(SpeedButton1, "SpeedButton1");
    Bind(OpenBtn, "OpenBtn");
    Bind(SaveBtn, "SaveBtn");
    Bind(UndoBtn, "UndoBtn");
    Bind(CutBtn, "CutBtn");
    Bind(CopyBtn, "CopyBtn");
    Bind(PasteBtn, "PasteBtn");
    Bind(ExitBtn, "ExitBtn");
    Bind(OpenDialog, "OpenDialog");
    Bind(SaveDialog1, "SaveDialog1");
    Bind(PrinterSetupDialog1, "PrinterSetupDialog1");
    Bind(PrintDialog1, "PrintDialog1");
}

bool TMainForm::TakeShortCut(QKeyEvent* key) {
    TMenuItem* item = MainMenu1 ? MainMenu1->FindShortCut(*key) : nullptr;
    if (!item) return false;
    item->Click(); // does nothing while the item or a menu above it is disabled
    return true;
}

void TMainForm::FormCreate(TComponent*) {
    Application->OnHint = [this](TComponent* sender) { DisplayHint(sender); };
    Screen->OnActiveFormChange = [this](TComponent* sender) { UpdateMenuItems(sender); };
}

void TMainForm::FormShow(TComponent*) {
    const std::vector<std::string>& args = Application->Arguments();
    if (args.size() > 1 && FileExists(args[1])) OpenDocumentWindow(args[1]);
}

void TMainForm::FormDestroy(TComponent*) {
    if (Screen) Screen->OnActiveFormChange = nullptr;
}

void TMainForm::DisplayHint(TComponent*) { StatusLine->SetCaption(Application->Hint()); }

void TMainForm::UpdateMenuItems(TComponent*) {
    const bool open = MDIChildCount() > 0;
    for (TMenuItem* item : {FileCloseItem, FileSaveItem, FileSaveAsItem, Undo1, Redo1, CutItem, CopyItem, PasteItem,
                            WindowCascadeItem, WindowTileItem, WindowArrangeItem, WindowMinimizeItem})
        item->SetEnabled(open);
    for (TSpeedButton* button : {UndoBtn, SaveBtn, CutBtn, CopyBtn, PasteBtn}) button->SetEnabled(open);
    // The mark never claims a backup the active document will not make.
    const TMDIChild* child = ActiveDocument();
    AllowBackup1->SetChecked(child && child->EditBox->MakeBackup());
}

TMDIChild* TMainForm::ActiveDocument() const { return dynamic_cast<TMDIChild*>(ActiveMDIChild()); }

TMDIChild* TMainForm::OpenDocumentWindow(const std::string& fileName) {
    TScreenCursorScope busy(LoadCursor(IDC_WAIT));
    ProcessMessages();
    auto* child = Application->CreateForm<TMDIChild>();
    auto bind = [this](TMenuItem* item, void (TMainForm::*handler)(TComponent*)) {
        item->OnClick = [this, handler](TComponent* sender) { (this->*handler)(sender); };
    };
    bind(child->Cut1, &TMainForm::CutBtnClick);
    bind(child->Copy1, &TMainForm::CopyBtnClick);
    bind(child->Paste1, &TMainForm::PasteBtnClick);
    bind(child->ReadOnly1, &TMainForm::ReadOnly1Click);
    bind(child->Undo1, &TMainForm::Undo1Click);
    bind(child->Redo1, &TMainForm::Redo1Click);
    child->SetCaption(fileName);
    try {
        WithFileName(fileName, [&] { child->EditBox->LoadFromFile(fileName); });
    } catch (...) {
        // Part of the file, or none of one that exists but would not load (too large,
        // unreadable): either way saving under its name would destroy what was not read.
        child->PartialText = child->EditBox->TextLength() > 0 || FileExists(fileName);
        throw;
    }
    Search1Click(this);
    TellLoadChanges(*child);
    return child;
}

void TMainForm::TellLoadChanges(TMDIChild& child) {
    const TLoadReport& report = child.EditBox->LoadReport();
    const std::string trimmed = LoadTrimHint(child.Caption(), report);
    if (!trimmed.empty()) StatusLine->SetCaption(trimmed);
    const std::string changes = LoadChangesMessage(child.Caption(), report, child.EditBox->ParaLengthLimit());
    if (!changes.empty()) MessageBox(changes, Application->Title(), MB_OK | MB_ICONINFORMATION);
}

void TMainForm::FileNewItemClick(TComponent*) { OpenDocumentWindow(CreateNoNameFile(MDIChildCount() + 1)); }

void TMainForm::FileOpenItemClick(TComponent*) {
    if (OpenDialog->Execute()) OpenDocumentWindow(OpenDialog->FileName);
}

void TMainForm::FileCloseItemClick(TComponent*) {
    if (TMDIChild* child = ActiveDocument()) child->Close();
}

void TMainForm::FileSaveItemClick(TComponent*) {
    if (TMDIChild* child = ActiveDocument()) {
        if (child->PartialText) return FileSaveAsItemClick(this);
        TZalTextFileEditor& editor = *child->EditBox;
        WithFileName(editor.FileName(), [&] { editor.SaveToFile(editor.FileName()); });
    }
}

void TMainForm::FileSaveAsItemClick(TComponent*) {
    TMDIChild* child = ActiveDocument();
    if (!child) return;
    TZalTextFileEditor& editor = *child->EditBox;
    SaveDialog1->FileName = editor.FileName();
    if (!SaveDialog1->Execute()) return;
    const std::string name = SaveDialog1->FileName;
    WithFileName(name, [&] { editor.SaveToFile(name); });
    // Later saves and the close query write to the file the user chose.
    editor.SetFileName(name);
    child->SetCaption(name);
    child->PartialText = false;
}

void TMainForm::CutBtnClick(TComponent*) {
    if (TMDIChild* child = ActiveDocument()) child->EditBox->CutToClipboard();
}

void TMainForm::CopyBtnClick(TComponent*) {
    if (TMDIChild* child = ActiveDocument()) child->EditBox->CopyToClipboard();
}

void TMainForm::PasteBtnClick(TComponent*) {
    if (TMDIChild* child = ActiveDocument()) child->EditBox->PasteFromClipboard();
}

void TMainForm::Undo1Click(TComponent*) {
    if (TMDIChild* child = ActiveDocument()) child->EditBox->Undo();
}

void TMainForm::Redo1Click(TComponent*) {
    if (TMDIChild* child = ActiveDocument()) child->EditBox->Redo();
}

void TMainForm::FileExitItemClick(TComponent*) { Close(); }

void TMainForm::WindowCascadeItemClick(TComponent*) {
    if (MdiArea()) MdiArea()->cascadeSubWindows();
}

void TMainForm::WindowTileItemClick(TComponent*) {
    // Stacked one above the other, each the full width, above the row of minimised ones.
    QMdiArea* area = MdiArea();
    if (!area) return;
    const QList<QMdiSubWindow*> windows = Restored(*area);
    if (windows.isEmpty()) return;
    const QRect r = area->viewport()->rect();
    const int height = r.height() - ArrangeIcons(*area);
    const int each = std::max(height / int(windows.size()), 1);
    for (int i = 0; i < windows.size(); ++i) {
        const int last = i == windows.size() - 1;
        windows[i]->setGeometry(0, i * each, r.width(), last ? height - i * each : each);
    }
}

void TMainForm::WindowArrangeItemClick(TComponent*) {
    if (MdiArea()) ArrangeIcons(*MdiArea());
}

void TMainForm::WindowMinimizeItemClick(TComponent*) {
    for (int i = MDIChildCount() - 1; i >= 0; --i) MDIChildren(i)->SetWindowState(wsMinimized);
}

void TMainForm::AllowBackup1Click(TComponent*) {
    TMDIChild* child = ActiveDocument();
    if (!child) return;
    AllowBackup1->SetChecked(!AllowBackup1->Checked());
    child->EditBox->SetMakeBackup(AllowBackup1->Checked());
}

void TMainForm::ReadOnly1Click(TComponent*) {
    TMDIChild* child = ActiveDocument();
    if (!child) return;
    child->EditBox->SetReadOnly(!child->EditBox->ReadOnly());
    child->pnReadOnly->SetVisible(child->EditBox->ReadOnly());
}

void TMainForm::Search1Click(TComponent*) {
    TMDIChild* child = ActiveDocument();
    const bool text = child && child->EditBox->TextLength() > 0;
    Find1->SetEnabled(text);
    Replace1->SetEnabled(text);
    GotoLine1->SetEnabled(text);
    FindNext1->SetEnabled(text && FindDlg && !FindDlg->Edit1->Text().empty());
}

void TMainForm::HelpAboutItemClick(TComponent*) {
    MessageBox("Just a Big Editor for Big Jobs with a BIG Name!", "Marvolt v1.05", MB_OK);
}

void TMainForm::PrintSetup1Click(TComponent*) { PrinterSetupDialog1->Execute(); }
