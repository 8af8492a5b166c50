// Stored form descriptions: the program's forms read and write back unchanged, and every
// kind of fault in a description is refused with the form, the line and the reason.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <sstream>

#include "ShellTest.h"
#include "app/Buttons.h"
#include "app/Childwin.h"
#include "app/DlgFind.h"
#include "app/DlgRepl.h"
#include "app/StdControls.h"
#include "app/ClassRegistry.h"
#include "app/FormReader.h"
#include "app/FormWriter.h"
#include "app/Menus.h"
#include "app/Panels.h"
#include "components/ZalBase.h"
#include "editor/TextFileEditor.h"

namespace {

class TTestForm : public TShellForm {
public:
    explicit TTestForm(TComponent* owner) : TShellForm(owner) {
        Publish<TNotifyEvent>("Clicked", &TTestForm::Clicked);
        Publish<TCloseEvent>("Closing", &TTestForm::Closing);
    }
    const char* ClassName() const override { return "TTestForm"; }
    void Clicked(TComponent*) { ++clicks; }
    void Closing(TComponent*, TCloseAction&) {}
    int clicks = 0;
};

class FormStream : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        EnsureClassesRegistered();
        RegisterComponentClass("TTestForm", "TShellForm", nullptr);
    }
};

// Line by line, so that a difference shows where it is.
void ExpectSameText(const std::string& written, const std::string& stored) {
    std::istringstream a(written), b(stored);
    std::string x, y;
    for (int line = 1; std::getline(b, y); ++line) {
        ASSERT_TRUE(std::getline(a, x)) << "written text ends before line " << line;
        ASSERT_EQ(x, y) << "line " << line;
    }
    EXPECT_FALSE(std::getline(a, x)) << "written text goes on: " << x;
}

TEST_F(FormStream, ProgramFormsWriteBackExactlyAsStored) {
    app = std::make_unique<TApplication>();
    ExpectSameText(WriteForm(*app->CreateForm<TMainForm>()), FormResourceText("TMainForm"));
    auto* child = app->CreateForm<TMDIChild>();
    // The editor is stored disabled; showing the window enabled it.
    EXPECT_TRUE(child->EditBox->Enabled());
    child->EditBox->SetEnabled(false);
    ExpectSameText(WriteForm(*child), FormResourceText("TMDIChild"));
    auto* find = app->CreateForm<TFindDlg>();
    ExpectSameText(WriteForm(*find), FormResourceText("TFindDlg"));
    auto* replace = app->CreateForm<TReplDlg>();
    ExpectSameText(WriteForm(*replace), FormResourceText("TReplDlg"));
    // What the descriptions hold reached the components.
    EXPECT_EQ(child->ZalController1->Epoch(), 1900);
    EXPECT_EQ(child->ZalController1->EntryOptions(), EFOption(efoAutoSelect) | EFOption(efoInsertPushes));
    EXPECT_EQ(child->ZalController1->EntryCommands().TableCount(), 3);
    EXPECT_FALSE(child->pnReadOnly->Visible());
    EXPECT_TRUE(child->pnReadOnly->Font().Style.Contains(fsBold));
    EXPECT_EQ(child->EditBox->Controller(), child->ZalController1);
    EXPECT_EQ(child->EditBox->FixedFont().Name(), "Liberation Mono");
    EXPECT_EQ(child->EditBox->CaretOvr()->Shape(), csBlock);
    EXPECT_FALSE(child->EditBox->CaretOvr()->Bitmap().Empty());
    EXPECT_EQ(child->EditBox->UndoBufferSize(), 8192);
    EXPECT_EQ(Main().FindNext1->ShortCut(), "F3");
    EXPECT_FALSE(Main().GotoLine1->Enabled());
    // The dialogs' buttons end them with their results; Escape presses Cancel.
    EXPECT_TRUE(find->RadioButton1->Checked());
    find->BitBtn1->Click();
    EXPECT_EQ(find->ModalResult(), mrOk);
    QTest::keyClick(find->Edit1->LineEdit(), Qt::Key_Escape);
    EXPECT_EQ(find->ModalResult(), mrCancel);
    replace->Button2->Click();
    EXPECT_EQ(replace->ModalResult(), mrYes);
    EXPECT_EQ(replace->Label1->FocusControl(), replace->Edit1);
}

TEST_F(FormStream, ReadsComponentsAndBindsEventsByName) {
    Start();
    const std::string text = "'TTestForm' 'TestForm' (\n"
                             "  'Caption' 'Test'\n"
                             "  'OnClose' 'Closing'\n"
                             ") (\n"
                             "  'TPanel' 'Panel1' (\n"
                             "    'Height' 30\n"
                             "    'Align' 'alTop'\n"
                             "    'Caption' 'It''s'#9'here'\n"
                             "  ) (\n"
                             "    'TSpeedButton' 'Button1' (\n"
                             "      'Hint' 'Go|Go on'\n"
                             "      'OnClick' 'Clicked'\n"
                             "    )\n"
                             "  )\n"
                             "  'TPopupMenu' 'Menu1' () (\n"
                             "    'TMenuItem' 'Item1' (\n"
                             "      'Caption' '&Go'\n"
                             "      'ShortCut' 'Shift+Ctrl+G'\n"
                             "      'OnClick' 'Clicked'\n"
                             "    )\n"
                             "  )\n"
                             ")\n";
    TTestForm form(nullptr);
    ReadForm(form, text);
    EXPECT_EQ(WriteForm(form), text);
    auto* panel = dynamic_cast<TPanel*>(form.FindComponent("Panel1"));
    auto* button = dynamic_cast<TSpeedButton*>(form.FindComponent("Button1"));
    auto* item = dynamic_cast<TMenuItem*>(form.FindComponent("Item1"));
    ASSERT_TRUE(panel && button && item);
    EXPECT_EQ(panel->Caption(), "It's\there");
    EXPECT_EQ(button->Parent(), panel);
    EXPECT_EQ(item->Parent(), &dynamic_cast<TMenu*>(form.FindComponent("Menu1"))->Items());
    button->Click();
    item->Click();
    EXPECT_EQ(form.clicks, 2);
    EXPECT_TRUE(form.OnClose);
}

TEST_F(FormStream, StoredCaretAlignWinsOverTheShapeAndLabelOffsetsGoWithAShownLabel) {
    Start();
    TTestForm form(nullptr);
    ReadForm(form, "'TTestForm' 'F' () (\n"
                   "'TZalController' 'C' ()\n"
                   "'TZalCustomEditor' 'E' (\n"
                   "'CaretIns.Align' 'caRight' 'CaretIns.Shape' 'csBlock'\n"
                   "'LabelInfo.OffsetX' 3 'LabelInfo.OffsetY' -4\n"
                   "'Controller' 'C'))");
    auto* editor = dynamic_cast<TZalCustomEditor*>(form.FindComponent("E"));
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->CaretIns()->Shape(), csBlock);
    EXPECT_EQ(editor->CaretIns()->Align(), caRight); // the block shape alone would give caLeft
    std::string written = WriteForm(form);
    EXPECT_EQ(written.find("'LabelInfo.OffsetX'"), std::string::npos); // the label is not shown
    editor->LabelInfo().SetVisible(true);
    written = WriteForm(form);
    EXPECT_NE(written.find("'LabelInfo.OffsetX' 3\n"), std::string::npos);
    EXPECT_NE(written.find("'LabelInfo.OffsetY' -4\n"), std::string::npos);
    EXPECT_NE(written.find("'LabelInfo.Visible' True\n"), std::string::npos);
    editor->LabelInfo().SetVisible(false);
}

TEST_F(FormStream, FaultsNameTheFormTheLineAndTheReason) {
    Start();
    const std::string head = "'TTestForm' 'F' (\n";
    const struct {
        std::string text, error;
    } cases[] = {
        {head + ") (\n'TWidget' 'W' ()\n)", "line 3: unknown class TWidget"},
        {head + "'Colour' 5\n)", "line 2: TTestForm has no property Colour"},
        {head + ") (\n'TSpeedButton' 'B' (\n'OnClick' 'Missing'\n))", "line 4: TTestForm has no handler Missing"},
        {head + ") (\n'TSpeedButton' 'B' (\n'OnClick' 'Closing'\n))", "line 4: handler Closing does not fit"},
        {head + ") (\n'TPanel' 'P' ('Align' 'alMiddle'))", "line 3: 'alMiddle' is not a value of Align"},
        {head + "'Width'\n'wide'\n)", "line 3: expected an integer, found a string"},
        {head + ") (\n'TPanel' 'P' ('BevelWidth' 0))", "line 3: value 0 of BevelWidth is out of range"},
        {head + ") (\n'TPanel' 'P' ()\n'TPanel' 'P' ())", "line 4: A component named P already exists"},
        {head + "'Menu' 'Nowhere'\n)", "line 2: no component named Nowhere"},
        {head + "'Menu' 'P'\n) (\n'TPanel' 'P' ())", "line 2: P is of the wrong class for Menu"},
        {head + "'Caption' 'open\n)", "line 2: unterminated string"},
        {head + ")\n'more'", "line 3: unexpected text after the form"},
        {"'TMainForm' 'F' ()", "line 1: the description is of TMainForm"},
        {head + ") (\n'TPanel' 'P' () (\n'TMenuItem' 'I' ()))", "line 4: TPanel P cannot hold I"},
        {head + ") (\n'TMainMenu' 'M' () (\n'TMenuItem' 'I' ('ShortCut' 'Ctrl+Banana')))",
         "line 4: 'Ctrl+Banana' is not a valid shortcut"},
        {head + ") (\n'TPanel' 'P' () (\n'TSpeedButton' 'B' ('Glyph' 'NOPE')))",
         "line 4: No readable bitmap resource named NOPE"},
        {head + "'Icon' 'NOPE'\n)", "line 2: No readable bitmap resource named NOPE"},
        {head + ") (\n'TZalController' 'C' (\n'EntryCommands.TableList' ('Default' 5 ())))",
         "line 4: expected a boolean, found an integer"},
        {head + ") (\n'TZalController' 'C' ('EntryOptions' ('efoSpeedy')))",
         "line 3: 'efoSpeedy' is not a value of EntryOptions"},
    };
    for (const auto& c : cases) {
        TTestForm form(nullptr);
        try {
            ReadForm(form, c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const EFormError& e) {
            EXPECT_NE(std::string(e.what()).find("Error reading form TTestForm at " + c.error), std::string::npos)
                << e.what();
        }
    }
}

} // namespace
