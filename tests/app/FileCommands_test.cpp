// The file and edit commands on real documents: open, save, Save As, close queries, backups,
// clipboard and undo, the load notice, and failures that must lose nothing.
#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <fstream>
#include <unistd.h>

#include "ShellTest.h"
#include "app/Buttons.h"
#include "app/Childwin.h"
#include "app/ErrorReport.h"
#include "app/Menus.h"
#include "app/Panels.h"
#include "components/ZalExcpt.h"
#include "editor/TextFileEditor.h"
#include "platform/NativeWindow.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

class FileCommands : public TShellTest {
protected:
    // Opens `name` through File Open, as a person picks it in the dialog.
    TMDIChild& Open(const std::string& name) {
        dialogs.AnswerOpenFile(name);
        Main().FileOpenItem->Click();
        ProcessPendingEvents();
        TMDIChild* child = Main().ActiveDocument();
        EXPECT_TRUE(child);
        return *child;
    }
    // Types `text` at the end of the first line ("\n" starts a line).
    static void Append(TMDIChild& doc, const std::string& text) {
        TZalTextFileEditor& e = *doc.EditBox;
        if (e.ParaCount() > 0) e.MoveCaretToPara(1, int32_t(e.GetPara(1).size()) + 1, false);
        ASSERT_EQ(e.InsertText(text), 0);
    }
    // The whole text, paragraphs joined by "\n".
    static std::string Text(TMDIChild& doc) {
        std::string text;
        for (int32_t p = 1; p <= doc.EditBox->ParaCount(); ++p) text += (p > 1 ? "\n" : "") + doc.EditBox->GetPara(p);
        return text;
    }
    size_t Boxes() const { return dialogs.Calls().size(); }
    const TScriptedDialogs::TCall& LastBox() const { return dialogs.Calls().back(); }
};

TEST_F(FileCommands, OpenEditSaveWritesTheBytesInTheFilesLineEndsAndTheStatusFollows) {
    WriteFile("a.txt", "one\r\ntwo\r\n");
    Start();
    TMDIChild& doc = Open("a.txt");
    EXPECT_EQ(doc.Caption(), "a.txt");
    EXPECT_EQ(doc.EditBox->FileName(), "a.txt");
    EXPECT_TRUE(doc.EditBox->IsOpen());
    EXPECT_EQ(dialogs.Calls()[0].File.Filter,
              "Common Text Files|*.TXT;*.SUM;*.DAT;*.BAT|Source Code|*.PAS;*.DPR;*.C;*.CPP;*.H;*.ASM;*.HTM;*.BAT|"
              "All Files|*.*");
    EXPECT_EQ(dialogs.Calls()[0].File.DefaultExt, "TXT");
    Append(doc, "\nthree");
    ProcessPendingEvents();
    EXPECT_EQ(doc.pnModified->Caption(), "Modified");
    EXPECT_EQ(doc.pnSize->Caption(), std::to_string(doc.EditBox->TextLength()));
    // Ctrl+S reaches the menu's Save before the editor sees it.
    QTest::keyClick(ClientWidgetOf(doc.EditBox->Handle()), Qt::Key_S, Qt::ControlModifier);
    ProcessPendingEvents();
    EXPECT_EQ(ReadFile("a.txt"), "one\r\nthree\r\ntwo\r\n");
    EXPECT_FALSE(doc.EditBox->Modified());
    EXPECT_EQ(doc.pnModified->Caption(), "");
    // Closing an unmodified document asks nothing.
    Main().FileCloseItem->Click();
    ProcessPendingEvents();
    EXPECT_EQ(Main().MDIChildCount(), 0);
    EXPECT_EQ(Boxes(), 1u);
}

TEST_F(FileCommands, EditCommandsReachTheActiveEditorAndDoNothingWithoutOne) {
    Start();
    for (TMenuItem* item : {Main().CutItem, Main().CopyItem, Main().PasteItem, Main().Undo1, Main().Redo1,
                            Main().FileSaveItem, Main().FileSaveAsItem, Main().FileCloseItem})
        item->Click(); // disabled and without a document: nothing at all
    EXPECT_EQ(Boxes(), 0u);
    TMDIChild& doc = Open("new.txt"); // a name typed for a file that does not exist yet
    ASSERT_EQ(Boxes(), 2u);
    EXPECT_EQ(LastBox().Caption, "Marvolt!");
    EXPECT_NE(LastBox().Text.find("new.txt"), std::string::npos);
    EXPECT_EQ(doc.Caption(), "new.txt"); // the window stays, titled with the name
    Append(doc, "abc def");
    doc.EditBox->SetSelection(1, 5, 1, 8, true);
    Main().CutItem->Click();
    EXPECT_EQ(Text(doc), "abc ");
    doc.EditBox->SetCaretPosition(1, 1);
    Main().PasteBtn->Click();
    EXPECT_EQ(Text(doc), "defabc ");
    Main().UndoBtn->Click();
    EXPECT_EQ(Text(doc), "abc ");
    Main().Redo1->Click();
    EXPECT_EQ(Text(doc), "defabc ");
    doc.EditBox->SetSelection(1, 1, 1, 4, true);
    Main().CopyItem->Click();
    doc.EditBox->SetCaretPosition(1, 8);
    doc.Paste1->Click(); // the pop-up menu reaches the same commands
    EXPECT_EQ(Text(doc), "defabc def");
    doc.Undo1->Click();
    EXPECT_EQ(Text(doc), "defabc ");
    doc.Redo1->Click();
    EXPECT_EQ(Text(doc), "defabc def");
    doc.EditBox->SetSelection(1, 1, 1, 4, true);
    doc.Cut1->Click();
    doc.Copy1->Click(); // nothing selected: the clipboard keeps "def"
    Main().PasteItem->Click();
    Main().PasteItem->Click();
    EXPECT_EQ(Text(doc), "defdefabc def");
}

TEST_F(FileCommands, SaveAsWritesTheChosenFileAndBindsTheDocumentToIt) {
    WriteFile("a.txt", "alpha\n");
    Start();
    TMDIChild& doc = Open("a.txt");
    Append(doc, "!");
    dialogs.AnswerSaveFile(std::nullopt);
    Main().FileSaveAsItem->Click(); // cancelled: nothing changes
    EXPECT_EQ(LastBox().File.FileName, "a.txt");
    EXPECT_EQ(doc.Caption(), "a.txt");
    EXPECT_TRUE(doc.EditBox->Modified());
    WriteFile("b.txt", "old contents\n"); // replaced without a question
    dialogs.AnswerSaveFile((dir_ / "b.txt").string());
    Main().FileSaveAsItem->Click();
    EXPECT_EQ(ReadFile("b.txt"), "alpha!\n"); // the line ends of the file it came from
    EXPECT_EQ(ReadFile("a.txt"), "alpha\n");
    EXPECT_EQ(doc.Caption(), (dir_ / "b.txt").string());
    EXPECT_EQ(doc.EditBox->FileName(), (dir_ / "b.txt").string());
    // Later saves and the close query's Yes write the chosen file.
    Append(doc, "?");
    Main().SaveBtn->Click();
    EXPECT_EQ(ReadFile("b.txt"), "alpha!?\n");
    Append(doc, "#");
    dialogs.AnswerMessageBox(IDYES);
    Main().FileCloseItem->Click();
    ProcessPendingEvents();
    EXPECT_EQ(LastBox().Text, "Save Changes?");
    EXPECT_EQ(LastBox().Caption, "Confirm");
    EXPECT_EQ(LastBox().Flags, UINT(MB_YESNOCANCEL));
    EXPECT_EQ(ReadFile("b.txt"), "alpha!?#\n");
    EXPECT_EQ(ReadFile("a.txt"), "alpha\n");
    EXPECT_EQ(Main().MDIChildCount(), 0);
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u);
}

TEST_F(FileCommands, ExitWithTwoModifiedDocumentsAsksEachInTurnAndCancelKeepsBoth) {
    WriteFile("a.txt", "a\n");
    WriteFile("b.txt", "b\n");
    Start();
    TMDIChild& a = Open("a.txt");
    TMDIChild& b = Open("b.txt");
    Append(a, "1");
    Append(b, "2");
    dialogs.AnswerMessageBox(IDYES);
    dialogs.AnswerMessageBox(IDCANCEL);
    Main().FileExitItem->Click();
    ProcessPendingEvents();
    EXPECT_FALSE(app->Terminated());
    EXPECT_EQ(Main().MDIChildCount(), 2);
    EXPECT_EQ(ReadFile("a.txt"), "a1\n"); // answered Yes before the Cancel
    EXPECT_FALSE(a.EditBox->Modified());
    EXPECT_EQ(ReadFile("b.txt"), "b\n");
    EXPECT_TRUE(b.EditBox->Modified());
    Append(a, "3");
    dialogs.AnswerMessageBox(IDNO);
    dialogs.AnswerMessageBox(IDCANCEL);
    Main().FileExitItem->Click();
    ProcessPendingEvents();
    EXPECT_EQ(Main().MDIChildCount(), 2);
    EXPECT_TRUE(a.EditBox->Modified()); // No keeps the unsaved changes while the exit is refused
    EXPECT_EQ(ReadFile("a.txt"), "a1\n");
    dialogs.AnswerMessageBox(IDNO);
    dialogs.AnswerMessageBox(IDNO);
    Main().FileExitItem->Click();
    EXPECT_TRUE(app->Terminated());
    EXPECT_EQ(ReadFile("a.txt"), "a1\n");
    EXPECT_EQ(ReadFile("b.txt"), "b\n");
    EXPECT_EQ(dialogs.Calls().size(), 2u + 6u);
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u);
}

TEST_F(FileCommands, AllowBackupFollowsTheActiveDocument) {
    WriteFile("a.txt", "a\n");
    Start();
    Main().AllowBackup1->Click(); // no document: nothing changes
    EXPECT_FALSE(Main().AllowBackup1->Checked());
    TMDIChild& a = Open("a.txt");
    EXPECT_FALSE(a.EditBox->MakeBackup());
    Main().AllowBackup1->Click();
    EXPECT_TRUE(Main().AllowBackup1->Checked());
    EXPECT_TRUE(a.EditBox->MakeBackup());
    Main().FileNewItem->Click();
    ProcessPendingEvents();
    TMDIChild* b = Main().ActiveDocument();
    ASSERT_NE(b, &a);
    EXPECT_FALSE(b->EditBox->MakeBackup());
    EXPECT_FALSE(Main().AllowBackup1->Checked()); // the mark never claims a backup B will not make
    Main().MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a.Window()));
    ProcessPendingEvents();
    ASSERT_EQ(Main().ActiveDocument(), &a);
    EXPECT_TRUE(Main().AllowBackup1->Checked());
    Append(a, "x");
    Main().FileSaveItem->Click();
    EXPECT_EQ(ReadFile("a.BAK"), "a\n");
    EXPECT_EQ(ReadFile("a.txt"), "ax\n");
}

TEST_F(FileCommands, AFailedSaveReportsTheFileAndReasonAndLosesNothing) {
    fs::create_directory("d");
    WriteFile("d/a.txt", "kept\n");
    Start();
    TMDIChild& doc = Open("d/a.txt");
    Append(doc, " edit");
    // Make the directory unwritable; root writes anyway, so for root the directory is
    // moved aside and a regular file takes its name.
    const bool root = ::geteuid() == 0;
    if (root) {
        fs::rename("d", "d.moved");
        WriteFile("d", "");
    } else {
        fs::permissions("d", fs::perms::owner_read | fs::perms::owner_exec);
    }
    const fs::path original = root ? "d.moved/a.txt" : "d/a.txt";
    auto expectReported = [&](size_t boxes) {
        ASSERT_EQ(Boxes(), boxes);
        EXPECT_EQ(LastBox().Caption, "Marvolt!");
        EXPECT_EQ(LastBox().Flags, UINT(MB_OK | MB_ICONERROR));
        EXPECT_NE(LastBox().Text.find("d/a.txt"), std::string::npos) << LastBox().Text;
        EXPECT_NE(LastBox().Text.find(root ? "Not a directory" : "Permission denied"), std::string::npos)
            << LastBox().Text;
        EXPECT_EQ(ReadFile(original), "kept\n");
        EXPECT_TRUE(doc.EditBox->Modified());
        EXPECT_EQ(doc.EditBox->FileName(), "d/a.txt");
        EXPECT_EQ(doc.Caption(), "d/a.txt");
    };
    dialogs.AnswerMessageBox(IDOK); // the error report
    Main().FileSaveItem->Click();
    expectReported(2);
    // Save As into the same place fails the same way and keeps the old binding.
    dialogs.AnswerSaveFile("d/b.txt");
    dialogs.AnswerMessageBox(IDOK);
    Main().FileSaveAsItem->Click();
    ASSERT_EQ(Boxes(), 4u);
    EXPECT_NE(LastBox().Text.find("d/b.txt"), std::string::npos) << LastBox().Text;
    EXPECT_EQ(doc.EditBox->FileName(), "d/a.txt");
    EXPECT_EQ(doc.Caption(), "d/a.txt");
    // The close query's Yes fails: the window stays open with its text.
    dialogs.AnswerMessageBox(IDYES);
    dialogs.AnswerMessageBox(IDOK);
    Main().FileCloseItem->Click();
    ProcessPendingEvents();
    expectReported(6);
    EXPECT_EQ(Main().MDIChildCount(), 1);
    // Once the place is writable again, the edit is all there.
    if (root) {
        fs::remove("d");
        fs::rename("d.moved", "d");
    } else {
        fs::permissions("d", fs::perms::owner_all);
    }
    Main().FileSaveItem->Click();
    EXPECT_EQ(ReadFile("d/a.txt"), "kept edit\n");
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u);
}

// A text holding only the part of its file read before loading failed never goes back over
// that file: Save asks for a name, the close query's Yes refuses, Save As ends the guard.
TEST_F(FileCommands, APartlyLoadedTextIsSavedOnlyUnderAChosenName) {
    WriteFile("a.txt", "whole file\n");
    Start();
    dialogs.AnswerOpenFile("missing.txt");
    dialogs.AnswerMessageBox(IDOK); // the error report
    Main().FileOpenItem->Click();
    ProcessPendingEvents();
    ASSERT_TRUE(Main().ActiveDocument());
    EXPECT_FALSE(Main().ActiveDocument()->PartialText) << "nothing was read: nothing to cut";
    // A file refused by its size before a byte was read is not cut to the empty text either.
    {
        std::ofstream("huge.txt", std::ios::binary).put('x');
        fs::resize_file("huge.txt", uintmax_t(1) << 31);
        dialogs.AnswerOpenFile("huge.txt");
        dialogs.AnswerMessageBox(IDOK);
        Main().FileOpenItem->Click();
        ProcessPendingEvents();
        EXPECT_EQ(LastBox().Flags, UINT(MB_OK | MB_ICONERROR));
        ASSERT_EQ(Main().MDIChildCount(), 2);
        TMDIChild& huge = *Main().ActiveDocument();
        EXPECT_EQ(huge.EditBox->TextLength(), 0);
        Append(huge, "typed");
        dialogs.AnswerSaveFile(std::nullopt);
        Main().SaveBtn->Click();
        EXPECT_EQ(LastBox().Kind, TScriptedDialogs::TKind::SaveFile);
        EXPECT_EQ(fs::file_size("huge.txt"), uintmax_t(1) << 31);
        fs::remove("huge.txt");
        dialogs.AnswerMessageBox(IDNO); // "Save Changes?"
        Main().FileCloseItem->Click();
        ProcessPendingEvents();
    }

    TMDIChild& doc = Open("a.txt");
    doc.PartialText = true; // as a load that failed after its first lines leaves it
    Append(doc, " edit");
    dialogs.AnswerSaveFile(std::nullopt);
    Main().SaveBtn->Click();
    EXPECT_EQ(LastBox().Kind, TScriptedDialogs::TKind::SaveFile);
    EXPECT_EQ(ReadFile("a.txt"), "whole file\n");
    dialogs.AnswerMessageBox(IDYES);
    dialogs.AnswerMessageBox(IDOK);
    Main().FileCloseItem->Click();
    ProcessPendingEvents();
    EXPECT_EQ(LastBox().Caption, "Marvolt!");
    EXPECT_NE(LastBox().Text.find("this file was not loaded whole"), std::string::npos) << LastBox().Text;
    EXPECT_EQ(ReadFile("a.txt"), "whole file\n");
    EXPECT_EQ(Main().MDIChildCount(), 2);
    dialogs.AnswerSaveFile((dir_ / "b.txt").string());
    Main().SaveBtn->Click();
    EXPECT_EQ(ReadFile("b.txt"), "whole file edit\n");
    EXPECT_FALSE(doc.PartialText);
    Append(doc, "!");
    Main().SaveBtn->Click(); // the chosen file now, without a dialog
    EXPECT_EQ(ReadFile("b.txt"), "whole file edit!\n");
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u);
}

TEST_F(FileCommands, OpeningTellsWhatSavingWillChangeOnceBoxForLinesHintForBlanks) {
    WriteFile("zero.txt", std::string("a\0b\nc\n", 6));
    WriteFile("blanks.txt", "a  \nb\n");
    Start();
    Open("zero.txt");
    ASSERT_EQ(Boxes(), 2u);
    EXPECT_EQ(LastBox().Caption, "Marvolt!");
    EXPECT_EQ(LastBox().Text, "zero.txt: saving will change this file:\n"
                              "- 1 line holds zero bytes, which will be saved as spaces");
    Open("blanks.txt");
    EXPECT_EQ(Boxes(), 3u); // the open dialog only
    EXPECT_EQ(Main().StatusLine->Caption(), "blanks.txt: 1 line ends in blanks, which saving will remove");
}

} // namespace

namespace {

TEST(ErrorReport, FileErrorsNameTheFileOnce) {
    auto reported = [](const std::string& message) {
        try {
            WithFileName("a.txt", [&] { throw EEditorError(message, 0); });
        } catch (const Exception& e) {
            return e.Message();
        }
        return std::string("nothing raised");
    };
    EXPECT_EQ(reported("Cannot open 'a.txt': No such file"), "Cannot open 'a.txt': No such file");
    EXPECT_EQ(reported("The text is too long"), "a.txt: The text is too long");
}

} // namespace
