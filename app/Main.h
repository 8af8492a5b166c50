#pragma once
// The main window: an MDI frame with the menu bar, the toolbar and the hint line, and the
// commands that act on the active document window or on the frame itself.
#include <string>

#include "app/ShellForm.h"

class QKeyEvent;
class TMainMenu;
class TMenuItem;
class TMDIChild;
class TOpenDialog;
class TPanel;
class TPrintDialog;
class TPrinterSetupDialog;
class TSaveDialog;
class TSpeedButton;
class TZalSpeedButton;

class TMainForm : public TShellForm {
public:
    // Built from the stored description; FormCreate runs while it is built.
    explicit TMainForm(TComponent* owner);
    ~TMainForm() override;
    const char* ClassName() const override { return "TMainForm"; }

    // The components the description holds.
    TMainMenu* MainMenu1 = nullptr;
    TPanel* StatusLine = nullptr;
    TPanel* SpeedPanel = nullptr;
    TMenuItem *FileNewItem = nullptr, *FileOpenItem = nullptr, *FileCloseItem = nullptr, *FileSaveItem = nullptr,
              *FileSaveAsItem = nullptr, *FileExitItem = nullptr;
    TMenuItem *Undo1 = nullptr, *Redo1 = nullptr, *CutItem = nullptr, *CopyItem = nullptr, *PasteItem = nullptr;
    TMenuItem *Search1 = nullptr, *Find1 = nullptr, *Replace1 = nullptr, *FindNext1 = nullptr, *GotoLine1 = nullptr;
    TMenuItem *Print1 = nullptr, *PrintSetup1 = nullptr, *AllowBackup1 = nullptr, *ReadOnly1 = nullptr;
    TMenuItem *Window1 = nullptr, *WindowCascadeItem = nullptr, *WindowTileItem = nullptr,
              *WindowArrangeItem = nullptr, *WindowMinimizeItem = nullptr;
    TMenuItem* HelpAboutItem = nullptr;
    TSpeedButton *SpeedButton1 = nullptr, *OpenBtn = nullptr, *SaveBtn = nullptr, *UndoBtn = nullptr,
                 *CutBtn = nullptr, *CopyBtn = nullptr, *PasteBtn = nullptr;
    TZalSpeedButton* ExitBtn = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;

    // Handlers, bound by the description.
    void FormCreate(TComponent* Sender);
    void FormShow(TComponent* Sender);
    void FormDestroy(TComponent* Sender);
    void FileNewItemClick(TComponent* Sender);
    void FileOpenItemClick(TComponent* Sender);
    void FileCloseItemClick(TComponent* Sender);
    void FileSaveItemClick(TComponent* Sender);
    // Saves under the chosen name, then binds the document (file name and caption) to it.
    void FileSaveAsItemClick(TComponent* Sender);
    void CutBtnClick(TComponent* Sender);
    void CopyBtnClick(TComponent* Sender);
    void PasteBtnClick(TComponent* Sender);
    void Undo1Click(TComponent* Sender);
    void Redo1Click(TComponent* Sender);
    // Toggles the active document's backup on save; the mark shows that document's setting.
    void AllowBackup1Click(TComponent* Sender);
    void FileExitItemClick(TComponent* Sender);
    void WindowCascadeItemClick(TComponent* Sender);
    void WindowTileItemClick(TComponent* Sender);
    void WindowArrangeItemClick(TComponent* Sender);
    void WindowMinimizeItemClick(TComponent* Sender);
    void ReadOnly1Click(TComponent* Sender);
    // Enables the Search menu's items by the active document's text and the last search.
    void Search1Click(TComponent* Sender);
    void HelpAboutItemClick(TComponent* Sender);
    // Search commands on the active document (SearchCommands.cpp): the Find dialog, Find
    // Next from the caret, Replace with a question per occurrence or all at once, and Go
    // to Line.
    void Find1Click(TComponent* Sender);
    void FindNext1Click(TComponent* Sender);
    void Replace1Click(TComponent* Sender);
    void GotoLine1Click(TComponent* Sender);
    // Prints the active document, or its selected lines, as plain text (PrintCommands.cpp).
    void Print1Click(TComponent* Sender);
    void PrintSetup1Click(TComponent* Sender);

    // The application's hint into the hint line.
    void DisplayHint(TComponent* Sender);
    // Enables the commands that need a document exactly while one is open.
    void UpdateMenuItems(TComponent* Sender);
    // Creates a document window for the file and loads it; returns the window.
    TMDIChild* OpenDocumentWindow(const std::string& fileName);
    // The active document window, or nullptr.
    TMDIChild* ActiveDocument() const;
    // Takes a key that is a menu shortcut before any window sees it (running its item
    // when enabled); false for other keys.
    bool TakeShortCut(QKeyEvent* key);

protected:
    void BindComponents() override;

private:
    // Tells the user once what saving will change in the file the document just loaded.
    void TellLoadChanges(TMDIChild& child);
};

// The process's main window while it exists.
extern TMainForm* MainForm;
