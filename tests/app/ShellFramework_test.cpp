// The shell's framework: alignment, menus, hints, the close protocol of forms, modal
// results, and errors that escape commands and events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QMdiSubWindow>
#include <QTest>
#include <QToolTip>
#include <fstream>
#include <random>

#include "ShellTest.h"
#include "app/Buttons.h"
#include "app/Childwin.h"
#include "app/CommonDialogs.h"
#include "app/FormReader.h"
#include "app/Menus.h"
#include "app/Panels.h"

namespace {

using Framework = TShellTest;

// Docked children take their sides nearest first by design position and never overlap;
// the client-aligned one takes exactly what is left.
TEST_F(Framework, AlignmentDocksChildrenByDesignPositionWithoutOverlap) {
    Start();
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        TPanel host(nullptr);
        host.Widget()->resize(400, 300);
        std::vector<std::unique_ptr<TPanel>> children;
        for (int i = 0; i < 8; ++i) {
            auto child = std::make_unique<TPanel>(nullptr);
            child->SetBounds(int(random() % 300), int(random() % 200), 10 + int(random() % 20), 10 + int(random() % 20));
            child->SetAlign(TAlign(random() % 5)); // alNone .. alRight
            child->SetParent(&host);
            children.push_back(std::move(child));
        }
        TPanel rest(nullptr);
        rest.SetAlign(alClient);
        rest.SetParent(&host);
        QRegion covered;
        for (auto& c : children) {
            const QRect r = c->Widget()->geometry();
            if (c->Align() == alNone) {
                EXPECT_EQ(r, QRect(c->Left(), c->Top(), c->Width(), c->Height()));
                continue;
            }
            EXPECT_FALSE(covered.intersects(r)) << round;
            covered += r;
            for (auto& d : children) {
                if (d != c && d->Align() == c->Align() && c->Align() == alTop && d->Top() < c->Top()) {
                    EXPECT_LT(d->Widget()->geometry().top(), r.top());
                }
            }
        }
        EXPECT_FALSE(covered.intersects(rest.Widget()->geometry()));
        EXPECT_EQ(covered.united(rest.Widget()->geometry()), QRegion(host.Widget()->contentsRect()));
        for (auto& c : children) c->SetParent(nullptr);
        rest.SetParent(nullptr);
    }
}

TEST_F(Framework, MenuItemsClickOnlyWhenEnabledUpTheTreeAndKeepTheirCheckMark) {
    Start();
    TMainMenu menu(nullptr);
    TMenuItem top(nullptr), item(nullptr);
    menu.Items().Add(&top);
    top.Add(&item);
    int clicks = 0;
    item.OnClick = [&](TComponent*) { ++clicks; };
    item.SetShortCut("Shift+Ctrl+Z");
    item.Action()->trigger();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(item.Action()->isChecked()); // a trigger does not check the item
    item.SetChecked(true);
    item.Action()->trigger();
    EXPECT_TRUE(item.Action()->isChecked());
    top.SetEnabled(false);
    item.Click();
    EXPECT_EQ(clicks, 2);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(menu.FindShortCut(press), &item);
    EXPECT_EQ(menu.FindShortCut(other), nullptr);
    EXPECT_THROW(item.SetShortCut("Ctrl+Banana"), EConvertError);
    EXPECT_EQ(item.ShortCut(), "Shift+Ctrl+Z");
    top.Remove(&item);
    menu.Items().Remove(&top);
}

TEST_F(Framework, HintsFollowThePointerAndTooltipsNeedTheHintDisplay) {
    Start();
    auto send = [](QWidget* w, QEvent::Type type) {
        QEvent e(type);
        QApplication::sendEvent(w, &e);
    };
    // A panel without a hint shows its holder's; leaving a control goes back to the holder.
    TPanel outer(nullptr), inner(nullptr);
    outer.SetHint("Outer|the outer panel");
    inner.SetParent(&outer);
    send(inner.Widget(), QEvent::Enter);
    EXPECT_EQ(Main().StatusLine->Caption(), "the outer panel");
    TSpeedButton button(nullptr);
    button.SetParent(&inner);
    button.SetHint("Button|the button");
    send(button.Widget(), QEvent::Enter);
    EXPECT_EQ(Main().StatusLine->Caption(), "the button");
    send(button.Widget(), QEvent::Leave);
    EXPECT_EQ(Main().StatusLine->Caption(), "the outer panel");
    // The tooltip shows the short part only while the hint display is on.
    QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), button.Widget()->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(button.Widget(), &tip);
    EXPECT_FALSE(QToolTip::isVisible());
    outer.SetShowHint(true);
    QApplication::sendEvent(button.Widget(), &tip);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "Button");
    QToolTip::hideText();
    button.SetParent(nullptr);
    inner.SetParent(nullptr);
}

TEST_F(Framework, CloseActionsOfADocumentWindow) {
    Start();
    Main().FileNewItem->Click();
    TMDIChild* doc = Main().ActiveDocument();
    ASSERT_TRUE(doc);
    doc->OnClose = [](TComponent*, TCloseAction& action) { action = caNone; };
    doc->Close();
    ProcessPendingEvents();
    EXPECT_EQ(Main().MDIChildCount(), 1);
    EXPECT_TRUE(doc->Window()->isVisible());
    doc->OnClose = [](TComponent*, TCloseAction& action) { action = caMinimize; };
    doc->Close();
    ProcessPendingEvents();
    EXPECT_EQ(doc->WindowState(), wsMinimized);
    EXPECT_EQ(Main().MDIChildCount(), 1);
    doc->OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
    doc->Close();
    EXPECT_EQ(Main().MDIChildCount(), 0); // no longer counted while its release is pending
    EXPECT_FALSE(Main().FileCloseItem->Enabled());
    ProcessPendingEvents();
    EXPECT_EQ(app->ComponentCount(), 2); // the main window and the Find dialog
}

TEST_F(Framework, ErrorsEscapingCommandsAndEventsReachTheErrorReport) {
    Start();
    // A command of a button.
    TSpeedButton button(nullptr);
    button.OnClick = [](TComponent*) { throw EInOutError("Cannot write file 'x': Disk full", 28); };
    button.Click();
    // Any handler of a window event.
    struct TThrowing : QObject {
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) throw Exception("Broken handler");
            return QObject::event(e);
        }
    } target;
    QEvent user(QEvent::User);
    QApplication::sendEvent(&target, &user);
    ASSERT_EQ(dialogs.Calls().size(), 2u);
    EXPECT_EQ(dialogs.Calls()[0].Text, "Cannot write file 'x': Disk full.");
    EXPECT_EQ(dialogs.Calls()[1].Text, "Broken handler.");
    for (const auto& call : dialogs.Calls()) {
        EXPECT_EQ(call.Caption, "Marvolt!");
        EXPECT_EQ(call.Flags, UINT(MB_OK | MB_ICONERROR));
    }
}

TEST_F(Framework, FileOpenShowsTheDialogWithItsFiltersAndOpensTheChosenName) {
    Start();
    dialogs.AnswerOpenFile(std::nullopt);
    Main().FileOpenItem->Click();
    EXPECT_EQ(Main().MDIChildCount(), 0);
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    const TFileDialogOptions& shown = dialogs.Calls()[0].File;
    EXPECT_EQ(shown.Filter, "Common Text Files|*.TXT;*.SUM;*.DAT;*.BAT|Source Code|*.PAS;*.DPR;*.C;*.CPP;*.H;"
                            "*.ASM;*.HTM;*.BAT|All Files|*.*");
    EXPECT_EQ(shown.FilterIndex, 1);
    EXPECT_EQ(shown.DefaultExt, "TXT");
    EXPECT_FALSE(shown.FileMustExist);
    const std::string chosen = (dir_ / "chosen.txt").string();
    std::ofstream(chosen) << "text";
    dialogs.AnswerOpenFile(chosen);
    Main().OpenBtn->Click();
    ASSERT_EQ(Main().MDIChildCount(), 1);
    EXPECT_EQ(Main().MDIChildren(0)->Caption(), chosen);
}

TEST_F(Framework, AFormWithoutStoredDescriptionIsRefused) {
    Start();
    struct TNoDescription : TShellForm {
        using TShellForm::TShellForm;
        const char* ClassName() const override { return "TNoDescription"; }
    } form(nullptr);
    try {
        ReadFormResource(form);
        ADD_FAILURE();
    } catch (const EFormError& e) {
        EXPECT_STREQ(e.what(), "Error reading form TNoDescription: the program holds no description of this form");
    }
}

} // namespace
