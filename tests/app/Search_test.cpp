// The Search menu: Find, Find Next, Replace with its questions, Go to Line, and the rule
// that enables the four items. The two dialogs are answered from inside their modal loops.
#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>

#include "DocumentTest.h"
#include "app/Childwin.h"
#include "app/DlgFind.h"
#include "app/DlgRepl.h"
#include "app/Menus.h"
#include "app/StdControls.h"
#include "editor/TextFileEditor.h"

namespace {

// What the user does in the Find dialog.
struct TFindAnswer {
    std::string Text;
    bool Backward = false, MatchCase = false, Global = false;
    bool Ok = true;
};

// What the user does in the Replace dialog; Result is the button pressed.
struct TReplaceAnswer {
    std::string Find, With;
    bool Backward = false, MatchCase = false, WholeWords = false, Global = false;
    int Result = mrOk;
};

class Search : public TDocumentTest {
protected:
    // Runs `step` once `form()` is up in its modal loop (showing it may process events
    // before the loop starts); a dialog the step leaves open is cancelled, so that a test
    // never blocks.
    static void WhenShown(std::function<TShellForm*()> form, std::function<void()> step, int tries = 200) {
        QTimer::singleShot(tries == 200 ? 0 : 5, [form, step, tries] {
            auto shown = [&] { return form() && form()->Window()->isVisible(); };
            if (!shown()) {
                if (tries > 0)
                    WhenShown(form, step, tries - 1);
                else
                    ADD_FAILURE() << "the dialog was not shown";
                return;
            }
            step();
            if (shown()) {
                ADD_FAILURE() << "the dialog stayed open";
                qobject_cast<QDialog*>(form()->Window())->reject();
            }
        });
    }
    void Find(const TFindAnswer& a) {
        WhenShown([] { return FindDlg; }, [a] {
            FindDlg->Edit1->SetText(a.Text);
            FindDlg->RadioButton1->SetChecked(!a.Backward);
            FindDlg->RadioButton2->SetChecked(a.Backward);
            FindDlg->CheckBox1->SetChecked(a.MatchCase);
            FindDlg->CheckBox2->SetChecked(a.Global);
            (a.Ok ? FindDlg->BitBtn1 : FindDlg->BitBtn2)->Click();
        });
        Main().Find1->Click();
    }
    void Replace(const TReplaceAnswer& a) {
        WhenShown([] { return ReplDlg; }, [a] {
            // Made anew for each command: empty, forward, no options.
            EXPECT_EQ(ReplDlg->Edit1->Text(), "");
            EXPECT_EQ(ReplDlg->Edit2->Text(), "");
            EXPECT_TRUE(ReplDlg->RadioButton1->Checked());
            EXPECT_EQ(ReplDlg->Options(mrOk), soReplace);
            ReplDlg->Edit1->SetText(a.Find);
            ReplDlg->Edit2->SetText(a.With);
            ReplDlg->RadioButton1->SetChecked(!a.Backward);
            ReplDlg->RadioButton2->SetChecked(a.Backward);
            ReplDlg->CheckBox1->SetChecked(a.MatchCase);
            ReplDlg->CheckBox2->SetChecked(a.WholeWords);
            ReplDlg->CheckBox3->SetChecked(a.Global);
            TBitBtn* buttons[] = {ReplDlg->Button1, ReplDlg->Button2, ReplDlg->Button3};
            for (TBitBtn* b : buttons)
                if (b->ModalResult() == a.Result) b->Click();
        });
        Main().Replace1->Click();
        EXPECT_EQ(ReplDlg, nullptr); // freed at the end of every Replace
    }
    void ExpectNotFound(size_t call, const std::string& text) {
        ASSERT_LT(call, dialogs.Calls().size());
        EXPECT_EQ(dialogs.Calls()[call].Text, "Search string '" + text + "' not found");
        EXPECT_EQ(dialogs.Calls()[call].Caption, "Information");
        EXPECT_EQ(dialogs.Calls()[call].Flags, UINT(MB_OK | MB_ICONINFORMATION));
    }
    // The selection as "line:col-line:col", or "" without one.
    static std::string Selection(TZalCustomEditor& e) {
        int32_t l1, c1, l2, c2;
        if (!e.GetSelection(l1, c1, l2, c2)) return "";
        return std::to_string(l1) + ":" + std::to_string(c1) + "-" + std::to_string(l2) + ":" + std::to_string(c2);
    }
    // What the dialogs were asked, for failure messages.
    std::string Log() const {
        std::string out;
        for (const auto& c : dialogs.Calls()) out += (c.Expected ? "\n  " : "\n  unexpected: ") + c.Caption + ": " + c.Text;
        return out;
    }
    std::vector<bool> SearchItems() {
        return {Main().Find1->Enabled(), Main().Replace1->Enabled(), Main().FindNext1->Enabled(),
                Main().GotoLine1->Enabled()};
    }
};

TEST_F(Search, DialogChoicesMapOntoTheSearchOptions) {
    Start();
    std::unique_ptr<TReplDlg> repl(NewComponent<TReplDlg>(&Main()));
    EXPECT_EQ(FindDlg->Options(true), 0);
    EXPECT_EQ(repl->Options(mrOk), soReplace);
    EXPECT_EQ(repl->Options(mrYes), soReplaceAll);
    // Each control alone, and the bit it stands for (Find Next never takes the scope).
    const struct {
        TButtonControl* control;
        TSearchOptions find, findNext;
    } findCases[] = {{FindDlg->RadioButton2, soBackward, soBackward},
                     {FindDlg->CheckBox1, soMatchCase, soMatchCase},
                     {FindDlg->CheckBox2, soGlobal, 0}};
    for (const auto& c : findCases) {
        c.control->SetChecked(true);
        EXPECT_EQ(FindDlg->Options(true), c.find) << c.control->Name();
        EXPECT_EQ(FindDlg->Options(false), c.findNext) << c.control->Name();
        c.control == FindDlg->RadioButton2 ? FindDlg->RadioButton1->SetChecked(true) : c.control->SetChecked(false);
    }
    const std::pair<TButtonControl*, TSearchOptions> replCases[] = {{repl->RadioButton2, soBackward},
                                                                    {repl->CheckBox1, soMatchCase},
                                                                    {repl->CheckBox2, soWholeWords},
                                                                    {repl->CheckBox3, soGlobal}};
    for (const auto& [control, bit] : replCases) {
        control->SetChecked(true);
        EXPECT_EQ(repl->Options(mrOk), soReplace | bit) << control->Name();
        EXPECT_EQ(repl->Options(mrYes), soReplaceAll | bit) << control->Name();
        control == repl->RadioButton2 ? repl->RadioButton1->SetChecked(true) : control->SetChecked(false);
    }
    // The buttons end the dialogs with the results the commands tell apart.
    EXPECT_EQ(repl->Button1->ModalResult(), mrOk);
    EXPECT_EQ(repl->Button2->ModalResult(), mrYes);
    EXPECT_EQ(repl->Button3->ModalResult(), mrCancel);
    EXPECT_TRUE(repl->Button1->Default());
    EXPECT_TRUE(repl->Button3->Cancel());
    EXPECT_TRUE(FindDlg->BitBtn1->Default());
    EXPECT_TRUE(FindDlg->BitBtn2->Cancel());
}

TEST_F(Search, FindAndANewWindowRefreshTheMenu) {
    Start();
    Document("some text");
    EXPECT_EQ(SearchItems(), std::vector<bool>({true, true, false, true}));
    Find({"text", false, false, true});
    EXPECT_EQ(SearchItems(), std::vector<bool>({true, true, true, true}));
    Main().FileNewItem->Click(); // an empty document
    EXPECT_EQ(SearchItems(), std::vector<bool>({false, false, false, false}));
    EXPECT_TRUE(dialogs.Calls().empty()) << Log();
}

// A dialog whose window has no size is never shown on a real display, so a person could
// neither see nor answer it.
TEST_F(Search, DialogsOpenAtLeastAsLargeAsTheirDesignedClientArea) {
    Start();
    Document("some text");
    const auto atLeast = [](TShellForm* form, int width, int height) {
        const QSize size = form->Window()->size();
        EXPECT_GE(size.width(), width) << form->ClassName();
        EXPECT_GE(size.height(), height) << form->ClassName();
    };
    WhenShown([] { return FindDlg; }, [&] {
        atLeast(FindDlg, 295, 198);
        FindDlg->BitBtn2->Click();
    });
    Main().Find1->Click();
    WhenShown([] { return ReplDlg; }, [&] {
        atLeast(ReplDlg, 439, 188);
        ReplDlg->Button3->Click();
    });
    Main().Replace1->Click();
    EXPECT_TRUE(dialogs.Calls().empty()) << Log();
}

TEST_F(Search, FindWithGlobalScopeThenFindNextGoesOnFromTheCaretWithoutWrapping) {
    Start();
    TZalCustomEditor& e = Document("one two\r\nthe two\r\nend");
    e.SetCaretPosition(3, 2);
    Find({"two", false, false, true});
    EXPECT_EQ(Selection(e), "1:5-1:8");
    // F3 reaches Find Next through the menu's shortcut.
    QTest::keyClick(Main().Window(), Qt::Key_F3);
    EXPECT_EQ(Selection(e), "2:5-2:8");
    EXPECT_TRUE(dialogs.Calls().empty());
    dialogs.AnswerMessageBox(IDOK);
    Main().FindNext1->Click();
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    ExpectNotFound(0, "two");
    EXPECT_EQ(Selection(e), "2:5-2:8");
}

TEST_F(Search, FindNextRepeatsDirectionAndCaseAndKeepsCancelledText) {
    Start();
    TZalCustomEditor& e = Document("Abc abc ABC abc");
    e.SetCaretPosition(1, 16);
    Find({"abc", true, true, false});
    EXPECT_EQ(Selection(e), "1:13-1:16");
    Main().FindNext1->Click(); // backward, case-sensitive: skips ABC
    EXPECT_EQ(Selection(e), "1:5-1:8");
    dialogs.AnswerMessageBox(IDOK);
    Main().FindNext1->Click(); // Abc does not match
    ExpectNotFound(0, "abc");
    // An empty search text finds nothing and says nothing.
    Find({""});
    EXPECT_EQ(dialogs.Calls().size(), 1u);
    // Cancelling keeps what was typed, for the next Find and for Find Next.
    Find({"zzz", false, false, false, false});
    EXPECT_EQ(FindDlg->Edit1->Text(), "zzz");
    EXPECT_FALSE(Main().FindNext1->Enabled()); // as the Find with no text left it
    Main().Search1->Click();
    dialogs.AnswerMessageBox(IDOK);
    Main().FindNext1->Click();
    ExpectNotFound(1, "zzz");
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u) << Log();
}

TEST_F(Search, ReplaceAsksForEachOccurrence) {
    Start();
    TZalCustomEditor& e = Document("a a a");
    dialogs.AnswerMessageBox(IDYES);
    dialogs.AnswerMessageBox(IDNO);
    dialogs.AnswerMessageBox(IDYES);
    Replace({"a", "b"});
    EXPECT_EQ(e.GetPara(1), "b a b");
    ASSERT_EQ(dialogs.Calls().size(), 3u); // the questions only: no not-found message
    EXPECT_EQ(dialogs.Calls()[0].Text, "Replace this occurrence?");
    EXPECT_EQ(dialogs.Calls()[0].Caption, "Confirm");
    EXPECT_EQ(dialogs.Calls()[0].Flags, UINT(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(Selection(e), "");

    // Backward: No leaves the caret at the start of the declined one; Cancel deselects.
    e.SetCaretPosition(1, 6);
    dialogs.AnswerMessageBox(IDYES); // the last b
    dialogs.AnswerMessageBox(IDNO);  // the a
    dialogs.AnswerMessageBox(IDCANCEL);
    Replace({"b", "c", true});
    EXPECT_EQ(e.GetPara(1), "b a c");
    EXPECT_EQ(dialogs.Calls().size(), 6u);
    EXPECT_EQ(Selection(e), "");
    EXPECT_EQ(e.CaretLine(), 1);

    // Cancel at the first question: nothing replaced, no message.
    e.SetCaretPosition(1, 1);
    dialogs.AnswerMessageBox(IDCANCEL);
    Replace({"b", "x"});
    EXPECT_EQ(e.GetPara(1), "b a c");
    EXPECT_EQ(dialogs.Calls().size(), 7u);
    EXPECT_EQ(Selection(e), "");

    // A text that does not occur: the not-found message, no question.
    dialogs.AnswerMessageBox(IDOK);
    Replace({"q", "x"});
    ExpectNotFound(7, "q");
    // The dialog cancelled: nothing at all.
    Replace({"a", "x", false, false, false, false, mrCancel});
    EXPECT_EQ(e.GetPara(1), "b a c");
    EXPECT_EQ(dialogs.Calls().size(), 8u);
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u) << Log();
}

TEST_F(Search, ReplaceAllAsksNothingAndReportsOnlyWhenNothingWasReplaced) {
    Start();
    TZalCustomEditor& e = Document("cat concat\r\nCat");
    Replace({"cat", "dog", false, false, true, false, mrYes}); // whole words, any case
    EXPECT_EQ(e.GetPara(1), "dog concat");
    EXPECT_EQ(e.GetPara(2), "dog");
    EXPECT_TRUE(dialogs.Calls().empty());
    dialogs.AnswerMessageBox(IDOK);
    Replace({"cat", "dog", false, true, true, true, mrYes});
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    ExpectNotFound(0, "cat");
}

TEST_F(Search, ReplaceWithGlobalScopeGoesOnPastDeclinedOccurrences) {
    Start();
    TZalCustomEditor& e = Document("a a");
    e.SetCaretPosition(1, 4);
    dialogs.AnswerMessageBox(IDNO);
    dialogs.AnswerMessageBox(IDNO);
    dialogs.AnswerMessageBox(IDOK);
    Replace({"a", "b", false, false, false, true});
    EXPECT_EQ(e.GetPara(1), "a a");
    ASSERT_EQ(dialogs.Calls().size(), 3u);
    ExpectNotFound(2, "a");
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u) << Log();
}

TEST_F(Search, ReplaceThatBreaksALimitIsReportedAndFreesTheDialog) {
    Start();
    TZalCustomEditor& e = Document("ab");
    e.SetParaLengthLimit(4);
    dialogs.AnswerMessageBox(IDOK);
    Replace({"ab", "abcdef", false, false, false, false, mrYes});
    EXPECT_EQ(e.GetPara(1), "ab");
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_EQ(dialogs.Calls()[0].Caption, "Marvolt!");
    EXPECT_EQ(dialogs.Calls()[0].Flags, UINT(MB_OK | MB_ICONERROR));
}

TEST_F(Search, GotoLineMovesOnlyToALineOfTheText) {
    Start();
    TZalCustomEditor& e = Document("1\r\n2\r\n3\r\n4\r\n5");
    e.SetCaretPosition(2, 2);
    for (const char* entry : {"0", "6", "x", "", "3x", "99999999999"}) {
        dialogs.AnswerInput(entry);
        Main().GotoLine1->Click();
        EXPECT_EQ(e.CaretLine(), 2) << entry;
    }
    dialogs.AnswerInput(std::nullopt); // cancelled
    Main().GotoLine1->Click();
    EXPECT_EQ(e.CaretLine(), 2);
    const TScriptedDialogs::TCall& call = dialogs.Calls().back();
    EXPECT_EQ(call.Caption, "Go to Line Number");
    EXPECT_EQ(call.Text, "Enter Line Number (1 to 5)");
    EXPECT_EQ(call.File.FileName, "1"); // the preset value
    dialogs.AnswerInput("5");
    QTest::keyClick(Main().Window(), Qt::Key_F4);
    EXPECT_EQ(e.CaretLine(), 5);
    EXPECT_EQ(e.CaretCol(), 1);
    dialogs.AnswerInput(" 1");
    Main().GotoLine1->Click();
    EXPECT_EQ(e.CaretLine(), 1);
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u) << Log();
    EXPECT_EQ(dialogs.Calls().size(), 9u); // input boxes only: no message
}

} // namespace
