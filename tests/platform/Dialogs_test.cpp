#include <gtest/gtest.h>

#include "platform/Dialogs.h"
#include "platform/QtDialogs.h"
#include "platform/ScriptedDialogs.h"

TEST(Dialogs, ScriptedAnswersComeInOrderWithoutBlocking) {
    TScriptedDialogs script;
    TDialogsScope scope(script);
    script.AnswerMessageBox(IDNO);
    script.AnswerOpenFile("/tmp/a.txt");
    script.AnswerSaveFile(std::nullopt);
    script.AnswerInput("42");
    EXPECT_EQ(MessageBox("Save Changes?", "Marvolt!", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    TFileDialogOptions open;
    open.Title = "Open";
    EXPECT_TRUE(Dialogs().OpenFileDialog(open));
    EXPECT_EQ(open.FileName, "/tmp/a.txt");
    TFileDialogOptions save;
    save.FileName = "keep.txt";
    EXPECT_FALSE(Dialogs().SaveFileDialog(save));
    EXPECT_EQ(save.FileName, "keep.txt");
    EXPECT_EQ(InputBox("Go to", "Line:", "1"), "42");
    ASSERT_EQ(script.Calls().size(), 4u);
    EXPECT_EQ(script.Calls()[0].Text, "Save Changes?");
    EXPECT_EQ(script.Calls()[0].Caption, "Marvolt!");
    EXPECT_EQ(script.Calls()[0].Flags, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(script.Calls()[3].Text, "Line:");
    EXPECT_EQ(script.PendingAnswers(), 0u);
    EXPECT_EQ(script.UnexpectedCalls(), 0u);
}

TEST(Dialogs, UnexpectedDialogsAreCancelledAndRecorded) {
    TScriptedDialogs script;
    TDialogsScope scope(script);
    EXPECT_EQ(MessageBox("x", "c", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBox("x", "c", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBox("x", "c", MB_OK), IDOK);
    script.AnswerOpenFile("wrong kind");
    TPrintDialogOptions print;
    EXPECT_FALSE(Dialogs().PrintDialog(print));
    EXPECT_EQ(InputBox("c", "p", "default"), "default");
    EXPECT_EQ(script.UnexpectedCalls(), 5u);
    EXPECT_EQ(script.PendingAnswers(), 1u) << "the open answer still waits for an open dialog";
}

TEST(Dialogs, ScopeRestoresTheProvider) {
    IDialogs* real = &Dialogs();
    EXPECT_EQ(real, &QtDialogs());
    {
        TScriptedDialogs script;
        TDialogsScope scope(script);
        EXPECT_EQ(&Dialogs(), &script);
        script.AnswerPrint(TPrintDialogOptions{});
        script.AnswerPrinterSetup(true);
        TPrintDialogOptions o;
        o.Copies = 3;
        EXPECT_TRUE(Dialogs().PrintDialog(o));
        EXPECT_EQ(o.Copies, 1);
        EXPECT_TRUE(Dialogs().PrinterSetupDialog());
    }
    EXPECT_EQ(&Dialogs(), real);
}
