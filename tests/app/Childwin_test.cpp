// Document windows: the editor and its status row, Read Only, the pop-up menu, closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

#include "ShellTest.h"
#include "app/Childwin.h"
#include "app/DlgFind.h"
#include "app/StdControls.h"
#include "app/LoadReport.h"
#include "app/Menus.h"
#include "app/Panels.h"
#include "editor/TextFileEditor.h"
#include "platform/NativeWindow.h"

namespace {

class DocumentWindow : public TShellTest {
protected:
    TMDIChild& NewDocument() {
        Main().FileNewItem->Click();
        ProcessPendingEvents();
        TMDIChild* child = Main().ActiveDocument();
        EXPECT_TRUE(child);
        return *child;
    }
};

TEST_F(DocumentWindow, StatusRowShowsPositionSizeModifiedMarkAndMode) {
    Start();
    TMDIChild& doc = NewDocument();
    EXPECT_TRUE(doc.EditBox->Enabled()); // enabled when shown
    doc.EditBox->SetInsertMode(false);   // places the caret: a status notification follows
    ProcessPendingEvents();
    EXPECT_EQ(doc.pnLinePos->Caption(), "1:1");
    EXPECT_EQ(doc.pnSize->Caption(), std::to_string(doc.EditBox->TextLength()));
    EXPECT_EQ(doc.pnModified->Caption(), "");
    EXPECT_EQ(doc.pnMode->Caption(), "Overwrite");
    doc.EditBox->SetModified(true);
    doc.EditBox->SetInsertMode(true);
    ProcessPendingEvents();
    EXPECT_EQ(doc.pnModified->Caption(), "Modified");
    EXPECT_EQ(doc.pnMode->Caption(), "Insert");
    // Right to left: position, size, modified mark, mode, then the free area.
    const int right = doc.Panel1->Widget()->contentsRect().right();
    EXPECT_EQ(doc.pnLinePos->Widget()->geometry().right(), right);
    EXPECT_EQ(doc.pnSize->Widget()->geometry().right() + 1, doc.pnLinePos->Widget()->geometry().left());
    EXPECT_EQ(doc.pnModified->Widget()->geometry().right() + 1, doc.pnSize->Widget()->geometry().left());
    EXPECT_EQ(doc.pnMode->Widget()->geometry().right() + 1, doc.pnModified->Widget()->geometry().left());
    EXPECT_EQ(doc.pnStatusBar->Widget()->geometry().right() + 1, doc.pnMode->Widget()->geometry().left());
}

TEST_F(DocumentWindow, ReadOnlyTogglesTheEditorAndItsMarkFromMenuAndPopup) {
    Start();
    Main().ReadOnly1->Click(); // no document: nothing happens
    TMDIChild& doc = NewDocument();
    EXPECT_FALSE(doc.pnReadOnly->Visible());
    Main().ReadOnly1->Click();
    EXPECT_TRUE(doc.EditBox->ReadOnly());
    EXPECT_TRUE(doc.pnReadOnly->Visible());
    EXPECT_FALSE(Main().ReadOnly1->Checked());
    doc.ReadOnly1->Click(); // the pop-up item reaches the same command
    EXPECT_FALSE(doc.EditBox->ReadOnly());
    EXPECT_FALSE(doc.pnReadOnly->Visible());
    // The editor's context-menu request shows the pop-up menu.
    QWidget* client = ClientWidgetOf(doc.EditBox->Handle());
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), client->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(client, &request);
    EXPECT_TRUE(doc.Pop->PopupWidget()->isVisible());
    doc.Pop->PopupWidget()->hide();
}

TEST_F(DocumentWindow, SearchMenuFollowsTheTextAndTheLastSearchWhenOpened) {
    Start();
    QMenu* search = Main().Search1->SubMenu();
    auto states = [&] {
        emit search->aboutToShow();
        return std::vector<bool>{Main().Find1->Enabled(), Main().Replace1->Enabled(), Main().FindNext1->Enabled(),
                                 Main().GotoLine1->Enabled()};
    };
    EXPECT_EQ(states(), std::vector<bool>({false, false, false, false}));
    TMDIChild& doc = NewDocument();
    EXPECT_EQ(states(), std::vector<bool>({false, false, false, false})); // empty text
    ASSERT_EQ(doc.EditBox->AppendPara("some text"), 0);
    EXPECT_EQ(states(), std::vector<bool>({true, true, false, true}));
    FindDlg->Edit1->SetText("text");
    EXPECT_EQ(states(), std::vector<bool>({true, true, true, true}));
    Main().FileCloseItem->Click();
    ProcessPendingEvents();
    EXPECT_TRUE(Main().Find1->Enabled()); // kept until the menu is opened again
    EXPECT_EQ(states(), std::vector<bool>({false, false, false, false}));
}

TEST_F(DocumentWindow, ExitAsksEachDocumentInOrderAndTheFirstRefusalStopsIt) {
    Start();
    TMDIChild& first = NewDocument();
    TMDIChild& second = NewDocument();
    std::vector<std::string> asked;
    auto answer = [&](TMDIChild& doc, bool agree) {
        doc.OnCloseQuery = [&asked, &doc, agree](TComponent*, bool& canClose) {
            asked.push_back(doc.Caption());
            canClose = agree;
        };
    };
    answer(first, true);
    answer(second, false);
    Main().FileExitItem->Click();
    EXPECT_EQ(asked, std::vector<std::string>({"NoName1.txt", "NoName2.txt"}));
    EXPECT_FALSE(app->Terminated());
    EXPECT_EQ(Main().MDIChildCount(), 2);
    answer(first, false);
    asked.clear();
    Main().FileExitItem->Click();
    EXPECT_EQ(asked, std::vector<std::string>({"NoName1.txt"}));
    answer(first, true);
    answer(second, true);
    Main().FileExitItem->Click();
    EXPECT_TRUE(app->Terminated());
}

} // namespace

namespace {

TEST(LoadReport, SaysWhatSavingWillChangeBoxForLinesHintForBlanks) {
    TLoadReport report;
    EXPECT_EQ(LoadChangesMessage("a.txt", report, 32767), "");
    EXPECT_EQ(LoadTrimHint("a.txt", report), "");
    report.TrimmedLines = 3;
    EXPECT_EQ(LoadChangesMessage("a.txt", report, 32767), ""); // blanks only go to the hint line
    EXPECT_EQ(LoadTrimHint("a.txt", report), "a.txt: 3 lines end in blanks, which saving will remove");
    report.SplitLines = 1;
    report.ZeroByteLines = 2;
    report.OtherLineEnds = 4;
    report.LineEnd = TLineEnd::CrLf;
    report.TextAfterEndMark = true;
    EXPECT_EQ(LoadChangesMessage("a.txt", report, 100),
              "a.txt: saving will change this file:\n"
              "- 1 line is longer than 100 characters and will be saved split into several lines\n"
              "- 2 lines hold zero bytes, which will be saved as spaces\n"
              "- 4 line ends differ from the first and will be saved as CR LF\n"
              "- the text after the end-of-file mark (character 26) was not read and will not be saved");
}

} // namespace
