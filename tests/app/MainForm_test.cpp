// The main window: start-up, the enabling rule, File New, window commands, hints,
// shortcuts, About and the error report.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QTest>
#include <QToolButton>
#include <fstream>

#include "ShellTest.h"
#include "app/Buttons.h"
#include "app/Childwin.h"
#include "app/DlgFind.h"
#include "app/ErrorReport.h"
#include "app/FontMap.h"
#include "app/Menus.h"
#include "app/Panels.h"
#include "components/Controls.h"
#include "components/ZalSpeed.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKeys.h"

namespace {

using MainWindow = TShellTest;

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Whether the commands that need a document are enabled, all alike (and -1 when they differ).
int DocumentCommandsEnabled(TMainForm& m) {
    const std::vector<bool> states = {
        m.FileCloseItem->Enabled(), m.FileSaveItem->Enabled(), m.FileSaveAsItem->Enabled(),
        m.Undo1->Enabled(),         m.Redo1->Enabled(),        m.CutItem->Enabled(),
        m.CopyItem->Enabled(),      m.PasteItem->Enabled(),    m.WindowCascadeItem->Enabled(),
        m.WindowTileItem->Enabled(), m.WindowArrangeItem->Enabled(), m.WindowMinimizeItem->Enabled(),
        m.UndoBtn->Enabled(),       m.SaveBtn->Enabled(),      m.CutBtn->Enabled(),
        m.CopyBtn->Enabled(),       m.PasteBtn->Enabled()};
    for (bool s : states)
        if (s != states[0]) return -1;
    return states[0];
}

TEST_F(MainWindow, StartsEmptyWithDocumentCommandsAndSearchDisabled) {
    Start();
    EXPECT_EQ(Main().Caption(), "Marvolt!");
    EXPECT_EQ(app->Title(), "Marvolt!");
    EXPECT_EQ(Main().MDIChildCount(), 0);
    EXPECT_EQ(DocumentCommandsEnabled(Main()), 0);
    ASSERT_TRUE(FindDlg);
    EXPECT_FALSE(FindDlg->Window()->isVisible());
    for (TMenuItem* item : {Main().Find1, Main().Replace1, Main().FindNext1, Main().GotoLine1})
        EXPECT_FALSE(item->Enabled());
    for (TMenuItem* item : {Main().FileNewItem, Main().FileOpenItem, Main().FileExitItem, Main().Print1,
                            Main().PrintSetup1, Main().AllowBackup1, Main().ReadOnly1, Main().HelpAboutItem})
        EXPECT_TRUE(item->Enabled());
    // Separators carry no text, which a style would draw as a section title.
    int separators = 0;
    for (QAction* menu : Main().Window()->findChild<QMenuBar*>()->actions())
        for (QAction* a : menu->menu()->actions())
            if (a->isSeparator()) {
                ++separators;
                EXPECT_TRUE(a->text().isEmpty()) << menu->text().toStdString();
            }
    EXPECT_GE(separators, 5);
    EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(MainWindow, FirstArgumentOpensAnExistingFileOnlyOthersAreIgnored) {
    std::ofstream("first.txt") << "one\r\n";
    std::ofstream("second.txt") << "two\r\n";
    Start({"first.txt", "second.txt"});
    ASSERT_EQ(Main().MDIChildCount(), 1);
    EXPECT_EQ(Main().MDIChildren(0)->Caption(), "first.txt");
    EXPECT_EQ(DocumentCommandsEnabled(Main()), 1);
}

TEST_F(MainWindow, MissingFirstArgumentGivesAnEmptyFrameAndNoMessage) {
    Start({"missing.txt"});
    EXPECT_EQ(Main().MDIChildCount(), 0);
    EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(MainWindow, FileNewTakesTheNextFreeNameAndEnablingFollowsTheDocuments) {
    std::ofstream("NoName1.txt") << "keep me";
    Start();
    Main().FileNewItem->Click();
    ASSERT_EQ(Main().MDIChildCount(), 1);
    EXPECT_EQ(Main().MDIChildren(0)->Caption(), "NoName2.txt");
    EXPECT_EQ(ReadFile("NoName1.txt"), "keep me");
    EXPECT_TRUE(std::filesystem::exists("NoName2.txt"));
    EXPECT_EQ(DocumentCommandsEnabled(Main()), 1);
    // A document window shows its own icon; the message boxes take the main window's.
    const QImage mainIcon = Main().Window()->windowIcon().pixmap(32).toImage();
    EXPECT_FALSE(mainIcon.isNull());
    EXPECT_EQ(QApplication::windowIcon().pixmap(32).toImage(), mainIcon);
    EXPECT_NE(Main().MDIChildren(0)->Window()->windowIcon().pixmap(32).toImage(), mainIcon);
    Main().SpeedButton1->Click();
    EXPECT_EQ(Main().MDIChildren(1)->Caption(), "NoName3.txt");

    Main().FileCloseItem->Click();
    ProcessPendingEvents();
    EXPECT_EQ(Main().MDIChildCount(), 1);
    EXPECT_EQ(DocumentCommandsEnabled(Main()), 1);
    Main().FileCloseItem->Click();
    ProcessPendingEvents();
    EXPECT_EQ(Main().MDIChildCount(), 0);
    EXPECT_EQ(DocumentCommandsEnabled(Main()), 0);
    EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(MainWindow, FileNewWhereNoFileCanBeCreatedReportsAndOpensNothing) {
    Start();
    std::filesystem::create_directory("gone");
    std::filesystem::current_path("gone");
    std::filesystem::remove(std::filesystem::current_path());
    Main().FileNewItem->Click();
    EXPECT_EQ(Main().MDIChildCount(), 0);
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_EQ(dialogs.Calls()[0].Caption, "Marvolt!");
    EXPECT_EQ(dialogs.Calls()[0].Flags, UINT(MB_OK | MB_ICONERROR));
    EXPECT_EQ(dialogs.Calls()[0].Text, "Cannot create file \"NoName1.txt\": No such file or directory.");
}

TEST_F(MainWindow, WindowCommandsArrangeTheDocuments) {
    Start();
    for (int i = 0; i < 3; ++i) Main().FileNewItem->Click();
    ProcessPendingEvents();
    Main().WindowTileItem->Click();
    int y = -1;
    for (int i = 0; i < 3; ++i) {
        const QRect r = Main().MDIChildren(i)->Window()->geometry();
        EXPECT_EQ(r.width(), Main().MdiArea()->viewport()->width());
        EXPECT_GE(r.top(), y);
        y = r.bottom() + 1;
    }
    Main().WindowMinimizeItem->Click();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Main().MDIChildren(i)->WindowState(), wsMinimized);
    Main().WindowArrangeItem->Click();
    // Icons line up from the bottom-left corner, row above row, never overlapping.
    const QRect area = Main().MdiArea()->viewport()->rect();
    int lowest = 0;
    for (int i = 0; i < 3; ++i) {
        const QRect r = Main().MDIChildren(i)->Window()->geometry();
        EXPECT_TRUE(area.contains(r));
        lowest = std::max(lowest, r.bottom());
        for (int j = 0; j < i; ++j) EXPECT_FALSE(r.intersects(Main().MDIChildren(j)->Window()->geometry()));
    }
    EXPECT_EQ(lowest, area.bottom());
}

TEST_F(MainWindow, WindowMenuListsTheDocumentsWithTheActiveOneChecked) {
    Start();
    Main().FileNewItem->Click();
    Main().FileNewItem->Click();
    ProcessPendingEvents();
    QMenu* menu = Main().Window1->SubMenu();
    emit menu->aboutToShow();
    QStringList names, checked;
    for (QAction* a : menu->actions())
        if (a->property("marvolt.windowlist").toBool() && !a->isSeparator()) {
            names << a->text();
            if (a->isChecked()) checked << a->text();
        }
    EXPECT_EQ(names, QStringList({"&1 NoName1.txt", "&2 NoName2.txt"}));
    EXPECT_EQ(checked, QStringList({"&2 NoName2.txt"}));
    emit menu->aboutToShow(); // rebuilt, not appended
    EXPECT_EQ(menu->actions().size(), 4 + 3);
}

TEST_F(MainWindow, HintsReachTheStatusLineAndToolbarButtonsShowTheirShortHint) {
    Start();
    emit Main().FileNewItem->Parent()->SubMenu()->hovered(Main().FileNewItem->Action());
    EXPECT_EQ(Main().StatusLine->Caption(), "Create a new file");
    QToolButton* open = Main().OpenBtn->Button();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(open, &enter);
    EXPECT_EQ(Main().StatusLine->Caption(), ""); // "Open|": nothing after the bar
    EXPECT_TRUE(Main().OpenBtn->EffectiveShowHint());
    EXPECT_EQ(Main().OpenBtn->Hint(), "Open|");
    const int xs[] = {7, 39, 63, 95, 126, 150, 174};
    TSpeedButton* buttons[] = {Main().SpeedButton1, Main().OpenBtn, Main().SaveBtn, Main().UndoBtn,
                               Main().CutBtn,       Main().CopyBtn, Main().PasteBtn};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(buttons[i]->Button()->geometry().topLeft(), QPoint(xs[i], 4)) << i;
        EXPECT_EQ(buttons[i]->Button()->size(), QSize(25, 25));
        EXPECT_FALSE(buttons[i]->Button()->icon().isNull());
    }
    // The Close button is the library's speed button; it ends the application.
    EXPECT_EQ(Main().ExitBtn->BoundsRect(), (TRect{206, 4, 231, 29}));
    EXPECT_EQ(Main().ExitBtn->Hint, "Close|");
    EXPECT_EQ(Main().ExitBtn->NumGlyphs(), 2);
    Main().ExitBtn->Click();
    EXPECT_TRUE(app->Terminated());
}

TEST_F(MainWindow, MenuShortcutsAreTakenBeforeAnyWindowEvenWhenDisabled) {
    // A library window that records the keys it is given.
    struct TKeyCounter : TCustomControl {
        using TCustomControl::TCustomControl;
        void WndProc(TMessage& m) override {
            if (m.Msg == WM_KEYDOWN && m.WParam != VK_CONTROL) keys.push_back(int(m.WParam));
            TCustomControl::WndProc(m);
        }
        std::vector<int> keys;
    };
    Start();
    TKeyCounter control(nullptr);
    SetParentWidget(control.Window(), Main().Client());
    QWidget* widget = WidgetOf(control.Handle());
    QTest::keyClick(widget, Qt::Key_S, Qt::ControlModifier); // Save: disabled, swallowed
    QTest::keyClick(widget, Qt::Key_N, Qt::ControlModifier); // New: runs
    QTest::keyClick(widget, Qt::Key_Q, Qt::ControlModifier); // no shortcut: reaches the window
    EXPECT_EQ(control.keys, std::vector<int>({'Q'}));
    EXPECT_EQ(Main().MDIChildCount(), 1);
    // With no control to take it, the key reaches the frame, where the shortcuts apply too.
    QTest::keyClick(Main().MdiArea(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Main().MDIChildCount(), 2);
}

TEST_F(MainWindow, AboutBoxAndErrorReportTexts) {
    Start();
    Main().HelpAboutItem->Click();
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_EQ(dialogs.Calls()[0].Text, "Just a Big Editor for Big Jobs with a BIG Name!");
    EXPECT_EQ(dialogs.Calls()[0].Caption, "Marvolt v1.05");
    EXPECT_EQ(dialogs.Calls()[0].Flags, UINT(MB_OK));
    // A full stop follows a message whose last character sorts after it.
    EXPECT_EQ(ErrorReportText("Disk full"), "Disk full.");
    EXPECT_EQ(ErrorReportText("Done."), "Done.");
    EXPECT_EQ(ErrorReportText("Why?"), "Why?.");
    EXPECT_EQ(ErrorReportText("(1)"), "(1)");
    EXPECT_EQ(ErrorReportText(""), "");
}

TEST_F(MainWindow, FormFontsMapToInstalledMetricCompatibleFamilies) {
    Start();
    EXPECT_EQ(InstalledFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(InstalledFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(InstalledFamily("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(InstalledFamily("DejaVu Sans"), "DejaVu Sans");
    EXPECT_FALSE(InstalledFamily("System").empty());
    EXPECT_EQ(FormFamily("Liberation Mono"), "Courier New");
    EXPECT_EQ(ToQFont(Main().StatusLine->Font()).family(), "Liberation Sans");
    EXPECT_EQ(ToQFont(Main().StatusLine->Font()).pixelSize(), 13);
}

} // namespace
