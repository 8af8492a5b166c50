// The editor driven by real key, mouse and focus events on a shown (offscreen) form: typing
// through the key tables, two-key sequences, Tab and Enter, the insert mode handed on
// through the controller, resizing; clicks, drags (the live pointer scripted), double
// clicks, the margin, the wheel and mouse activation.
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "EditorTestUtil.h"
#include "tests/components/CmdTestUtil.h"
#include "components/ZalCmdCodes.h"
#include "platform/Input.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKeys.h"

namespace {
// The live pointer walks a path of client points, one per poll of the button, which is
// down until the last point has been read; the clock moves Step milliseconds per reading.
struct TPointerScript : ILiveInputScript {
    HWND Window = nullptr;
    std::vector<QPoint> Path{QPoint(200, 100)};
    size_t At = 0;
    uint32_t Clock = 1000, Step = 100;

    TPoint CursorPos() override {
        TPoint p{Path[At].x(), Path[At].y()};
        ClientToScreen(Window, p);
        return p;
    }
    bool KeyDown(int vk) override {
        if (vk != VK_LBUTTON || At + 1 >= Path.size()) return false;
        ++At;
        return true;
    }
    uint32_t Milliseconds() override { return Clock += Step; }
};

class InputTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        SetParentWidget(form->Window(), &host);
        host.resize(800, 600);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host, 2000));
        host.activateWindow();
        other = NewEditor(420, 0, 200, 100);
        Focus(edit);
        script.Window = edit->Handle();
        SetLiveInputScript(&script);
    }
    void TearDown() override {
        SetLiveInputScript(nullptr);
        EditorTest::TearDown();
    }
    void Focus(TZalCustomEditor* e) {
        e->SetFocus();
        ProcessPendingEvents();
        ASSERT_TRUE(e->Focused());
    }
    TZalCommandProcessor& Commands() { return edit->Controller()->EntryCommands(); }
    // Only the given bindings translate keys.
    void OnlyBindings(std::initializer_list<TZalKeyBinding> bindings) {
        Commands().ClearTables();
        Commands().CreateTable("Test", true);
        for (const TZalKeyBinding& b : bindings) Commands().AddBinding("Test", b);
    }
    QWidget* Area(TZalCustomEditor* e) { return WidgetOf(e->Handle()); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier, TZalCustomEditor* e = nullptr) {
        QTest::keyClick(Area(e ? e : edit), key, mods);
    }
    void Type(const char* s, TZalCustomEditor* e = nullptr) { QTest::keyClicks(Area(e ? e : edit), s); }
    std::string Text(TZalCustomEditor* e = nullptr) {
        e = e ? e : edit;
        std::string all;
        for (int32_t p = 1; p <= e->ParaCount(); ++p) all += (p > 1 ? "|" : "") + e->GetPara(p);
        return all;
    }

    // Mouse actions on the client area of `edit` (x, y in client pixels).
    QWidget* Client() { return ClientWidgetOf(edit->Handle()); }
    void MoveTo(QPoint p) {
        script.Path = {p};
        script.At = 0;
        // Two moves: Qt drops a move to where the pointer already is.
        QTest::mouseMove(Client(), p + QPoint(1, 1));
        QTest::mouseMove(Client(), p);
    }
    void Drag(std::vector<QPoint> path, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        MoveTo(path.front());
        script.Path = path;
        QTest::mousePress(Client(), Qt::LeftButton, mods, path.front());
        EXPECT_EQ(script.At, path.size() - 1) << "the drag ends when the button is up";
        QTest::mouseRelease(Client(), Qt::LeftButton, mods, path.back());
        EXPECT_EQ(GetCapture(), nullptr);
    }
    void Click(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) { Drag({p}, mods); }
    // As the system delivers it: a click, then the double click in place of the second press.
    void DoubleClick(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Click(p, mods);
        QTest::mouseDClick(Client(), Qt::LeftButton, mods, p);
        QTest::mouseRelease(Client(), Qt::LeftButton, mods, p);
    }
    // A pixel of the cell of (line on screen, column), left or right of its middle.
    QPoint Cell(int row, int col, bool rightHalf = false) {
        const int cw = edit->CharWidth();
        return QPoint(edit->LeftMargin() + (col - 1) * cw + (rightHalf ? cw - 1 : 1), row * edit->RowHeight() + 2);
    }
    QPoint Margin(int row) { return QPoint(edit->LeftMargin() / 2, row * edit->RowHeight() + 2); }
    // The selection as (line, col)-(line, col) with the caret's place.
    std::string Sel() {
        return std::to_string(edit->SelStartLine()) + "," + std::to_string(edit->SelStartCol()) + "-" +
               std::to_string(edit->SelEndLine()) + "," + std::to_string(edit->SelEndCol()) + " caret " +
               std::to_string(edit->CaretLine()) + "," + std::to_string(edit->CaretCol());
    }
    void Wheel(int delta) {
        const QPoint p(50, 20);
        QWheelEvent e(p, Client()->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Client(), &e);
    }
    // The text becomes exactly these paragraphs.
    void SetText(const std::vector<std::string>& paras) {
        edit->Clear(true);
        std::string all;
        for (size_t i = 0; i < paras.size(); ++i) all += (i ? "\r\n" : "") + paras[i];
        ASSERT_EQ(edit->InsertText(all), 0);
        ASSERT_EQ(edit->ParaCount(), int32_t(paras.size()));
    }
    static std::vector<std::string> Lines(int n) {
        std::vector<std::string> v;
        for (int i = 1; i <= n; ++i) v.push_back("line " + std::to_string(i));
        return v;
    }

    QWidget host;
    TZalCustomEditor* other = nullptr;
    TPointerScript script;
};
} // namespace

TEST_F(InputTest, KeysTypeThroughTheTablesAndSequencesSwallowTheirCharacters) {
    int changes = 0;
    edit->OnChange = [&](TComponent*) { ++changes; };
    Type("Hello world");
    EXPECT_EQ(Text(), "Hello world");
    EXPECT_EQ(changes, 11) << "each typed character is a command";
    Key(Qt::Key_Left);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(edit->CaretCol(), 10);
    EXPECT_TRUE(edit->SelectionExists());
    Type("L");
    EXPECT_EQ(Text(), "Hello worLd") << "typing replaces the selection";

    // A two-key table: Ctrl+Q S goes home and its S is not typed; Ctrl+Q X completes
    // nothing and the X is typed as usual.
    OnlyBindings({B('Q', ksCtrl, ccHome, 'S', ksCtrlOrNone), B(VK_LEFT, ksNone, ccLeft)});
    Key(Qt::Key_Q, Qt::ControlModifier);
    Key(Qt::Key_S);
    EXPECT_EQ(edit->CaretCol(), 1);
    EXPECT_EQ(Text(), "Hello worLd");
    Key(Qt::Key_Q, Qt::ControlModifier);
    Key(Qt::Key_X);
    EXPECT_EQ(Text(), "xHello worLd");

    // Backspace bound nowhere: neither its character nor Ctrl+Backspace's (127) is typed.
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(Text(), "xHello worLd");
    Type("y");
    EXPECT_EQ(Text(), "xyHello worLd") << "the next printable key types again";

    // Alt combinations go through the tables with Alt; Alt+Backspace is no accelerator.
    std::vector<uint16_t> user;
    edit->OnUserCommand = [&](TComponent*, uint16_t c) { user.push_back(c); };
    Commands().AddBinding("Test", B('U', ksAlt, ccUserBase + 7));
    Key(Qt::Key_U, Qt::AltModifier);
    Key(Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(user, std::vector<uint16_t>{ccUserBase + 7});
    EXPECT_EQ(Text(), "xyHello worLd") << "Alt characters are not typed";
    EXPECT_EQ(edit->Perform(CM_DIALOGCHAR, VK_BACK, KF_ALTDOWN_BIT), 1);
    EXPECT_EQ(edit->Perform(CM_DIALOGCHAR, VK_BACK, 0), 0);
}

TEST_F(InputTest, TabAndEnterFollowWantTabAndWantEnter) {
    OnlyBindings({});
    Type("ab");
    edit->SetWantTab(true);
    EXPECT_EQ(edit->Perform(WM_GETDLGCODE) & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS),
              DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(), "ab\t");
    EXPECT_TRUE(edit->Focused());

    edit->SetWantTab(false);
    EXPECT_EQ(edit->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    Key(Qt::Key_Tab);
    ProcessPendingEvents();
    EXPECT_EQ(Text(), "ab\t") << "Tab is left to the dialog";
    EXPECT_FALSE(edit->Focused()) << "the focus moved on";
    Focus(edit);

    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "ab\t|");
    EXPECT_EQ(edit->CaretPara(), 2);
    edit->SetWantEnter(false);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "ab\t|") << "Enter is left to the dialog";
    edit->SetWantEnter(true);
    edit->SetInsertMode(false);
    edit->MoveCaretTo(1, 1, false);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "ab\t|") << "in overwrite mode Enter only moves down";
    EXPECT_EQ(edit->CaretPara(), 2);
}

TEST_F(InputTest, InsertModeTravelsThroughTheControllerAndTheCaretFollowsTheFocus) {
    EXPECT_TRUE(edit->CaretPair().Attached());
    EXPECT_FALSE(other->CaretPair().Attached());
    Type("abc");
    Key(Qt::Key_Insert); // bound to the insert toggle
    EXPECT_FALSE(edit->InsertMode());
    Focus(other);
    EXPECT_FALSE(edit->CaretPair().Attached());
    EXPECT_TRUE(other->CaretPair().Attached());
    EXPECT_FALSE(other->InsertMode()) << "taken over from the controller";
    EXPECT_FALSE(other->CaretPair().UseInsertCaret());
    Key(Qt::Key_Insert, Qt::NoModifier, other);
    Focus(edit);
    EXPECT_TRUE(edit->InsertMode());
    edit->MoveCaretTo(1, 1, false);
    Type("x");
    EXPECT_EQ(Text(), "xabc");
    Key(Qt::Key_Insert);
    Focus(other);
    Focus(edit);
    EXPECT_FALSE(edit->InsertMode()) << "kept across leaving and coming back";
    Type("y");
    EXPECT_EQ(Text(), "xybc");
}

TEST_F(InputTest, GrowingUntilEverythingFitsShowsTheTextFromTheTop) {
    Load(*edit, std::vector<std::string>(30, "line"));
    edit->SetHeight(100);
    edit->SetTopLine(20);
    edit->SetHeight(150);
    EXPECT_EQ(edit->TopLine(), 20) << "still too small: the view stays";
    edit->SetHeight(590);
    ASSERT_GE(edit->VisibleRows(), edit->LineCount());
    EXPECT_EQ(edit->TopLine(), 1);
}

TEST_F(InputTest, ClicksPlaceTheCaretByHalfCells) {
    // An empty document: the click only focuses.
    Focus(other);
    Click(Cell(0, 3));
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(Sel(), "1,1-1,1 caret 1,1");

    Load(*edit, {"abcdef", "a\tb", std::string(200, 'w')});
    Click(Cell(0, 3));
    EXPECT_EQ(Sel(), "1,3-1,3 caret 1,3");
    Click(Cell(0, 3, true));
    EXPECT_EQ(edit->CaretCol(), 4) << "the right half of a cell puts the caret after it";
    Click(Cell(0, 30));
    EXPECT_EQ(edit->CaretCol(), 7) << "beyond the end: the line's end";
    Click(Cell(1, 5)); // inside the tab's cells: before the tab
    EXPECT_EQ(Sel(), "2,2-2,2 caret 2,2");
    Click(Cell(0, 2), Qt::ShiftModifier);
    EXPECT_EQ(Sel(), "1,2-2,2 caret 1,2") << "Shift extends";
    const int cw = edit->CharWidth(), edge = edit->LeftMargin() + edit->VisibleColumns() * cw;
    Click(QPoint(edge - cw / 2 + 1, 2 * edit->RowHeight() + 2));
    EXPECT_EQ(edit->CaretCol(), edit->VisibleColumns()) << "the partly shown cell counts as the last whole one";
    EXPECT_EQ(edit->HorzOffset(), 0);

    // Below the text, and in the partial row under the last whole one.
    Load(*edit, Lines(100));
    Click(QPoint(Cell(0, 2).x(), Client()->height() - 1));
    ASSERT_GT(Client()->height() % edit->RowHeight(), 1) << "the window shows part of a row";
    EXPECT_EQ(edit->CaretLine(), edit->VisibleRows());
    EXPECT_EQ(edit->TopLine(), 1);

    // The controller can keep a click from activating an unfocused editor.
    Focus(other);
    edit->Controller()->BlockActivation = true;
    Click(Cell(0, 4));
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(edit->CaretLine(), edit->VisibleRows()) << "the click was eaten";
    edit->Controller()->BlockActivation = false;
    Click(Cell(0, 4));
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(Sel(), "1,4-1,4 caret 1,4");
}

TEST_F(InputTest, DragsSelectAndScrollPacedByTheDistance) {
    Load(*edit, Lines(100));
    Drag({Cell(1, 3), Cell(2, 4), Cell(3, 5, true)});
    EXPECT_EQ(Sel(), "2,3-4,6 caret 4,6");
    Drag({Cell(3, 2), Cell(1, 3)});
    EXPECT_EQ(Sel(), "2,3-4,2 caret 2,3") << "upward the caret leads";
    Drag({Cell(1, 1), Cell(2, 1)}, Qt::ShiftModifier);
    EXPECT_EQ(Sel(), "3,1-4,2 caret 3,1") << "Shift moves the caret's end only";

    // Held far below the window the text scrolls a line per turn, the caret on the last row.
    const int rows = edit->VisibleRows(), below = Client()->height();
    std::vector<QPoint> path{Cell(0, 2)};
    path.insert(path.end(), 10, QPoint(Cell(0, 2).x(), below + 200));
    Drag(path);
    EXPECT_EQ(edit->TopLine(), 11);
    EXPECT_EQ(edit->CaretLine(), rows + 10);
    EXPECT_EQ(Sel(), "1,2-" + std::to_string(rows + 10) + ",2 caret " + std::to_string(rows + 10) + ",2");
    // Close to the edge it waits longer between lines: 20 pixels away a line comes once the
    // clock has moved on by more than three scroll-bar heights less 20 milliseconds.
    const int wait = 3 * GetSystemMetrics(SM_CYHSCROLL) - 20;
    script.Step = 10;
    edit->SetTopLine(1);
    path = {Cell(0, 2)};
    path.insert(path.end(), 30, QPoint(Cell(0, 2).x(), below + 19));
    Drag(path);
    const int perLine = wait / 10 + 1;
    EXPECT_EQ(edit->TopLine(), 1 + 30 / perLine);
    // Above the window the text scrolls back.
    script.Step = 100;
    const int top = edit->TopLine();
    path = {Cell(1, 2)};
    path.insert(path.end(), 3, QPoint(Cell(0, 2).x(), -100));
    Drag(path);
    EXPECT_EQ(edit->TopLine(), top - 3);
    EXPECT_EQ(edit->CaretLine(), top - 3);

    // The wheel scrolls a line per message and leaves the caret.
    edit->MoveCaretTo(5, 2, false);
    edit->SetTopLine(1);
    Wheel(-120);
    Wheel(-360);
    EXPECT_EQ(edit->TopLine(), 3) << "toward the user: down, one line per message";
    Wheel(120);
    EXPECT_EQ(edit->TopLine(), 2);
    EXPECT_EQ(Sel(), "5,2-5,2 caret 5,2");
}

TEST_F(InputTest, TheMarginSelectsWholeLinesAndParagraphs) {
    SetText(Lines(8));
    MoveTo(Margin(2));
    EXPECT_EQ(Client()->cursor().shape(), Qt::BitmapCursor) << "the line cursor";
    MoveTo(Cell(2, 2));
    EXPECT_EQ(Client()->cursor().shape(), Qt::IBeamCursor);

    Click(Margin(2));
    EXPECT_EQ(Sel(), "3,1-4,1 caret 4,1") << "the line up to the start of the next";
    Click(Margin(7));
    EXPECT_EQ(Sel(), "8,1-8,7 caret 8,7") << "the last line up to its end";
    Drag({Margin(1), Margin(2), Margin(4)});
    EXPECT_EQ(Sel(), "2,1-6,1 caret 6,1") << "downward by whole lines";
    Drag({Margin(4), Margin(3), Margin(1)});
    EXPECT_EQ(Sel(), "2,1-5,1 caret 2,1") << "upward past the anchor: from the line to the anchor";
    Click(Margin(6), Qt::ShiftModifier);
    EXPECT_EQ(Sel(), "2,1-8,1 caret 8,1") << "Shift keeps the selection's start";

    DoubleClick(Margin(3));
    EXPECT_EQ(Sel(), "4,1-4,7 caret 4,7") << "the paragraph";
    Click(Cell(1, 3));
    DoubleClick(Margin(5), Qt::ShiftModifier);
    EXPECT_EQ(Sel(), "2,3-6,7 caret 6,7") << "Shift: on to the end of a later paragraph";
    DoubleClick(Margin(0), Qt::ShiftModifier);
    EXPECT_EQ(Sel(), "1,1-6,7 caret 1,1") << "back to the start of an earlier one";
    Click(Cell(7, 3));
    DoubleClick(Margin(7), Qt::ShiftModifier);
    EXPECT_EQ(Sel(), "8,1-8,7 caret 8,7") << "a selection inside the paragraph gives the paragraph";
}

TEST_F(InputTest, DoubleClicksSelectAWordWithTheBlanksAfterIt) {
    SetText({"foo  bar, baz", "", "\tx"});
    const struct {
        int line, col;
        const char* word;
    } cases[] = {
        {1, 1, "foo  "}, {1, 4, "foo  "}, {1, 5, "foo  "}, {1, 7, "bar"}, {1, 9, "bar"},
        {1, 10, "bar"},  {1, 12, "baz"},  {1, 40, "baz"},  {2, 3, ""},     {3, 2, "\t"},
    };
    for (const auto& c : cases) {
        DoubleClick(Cell(c.line - 1, c.col));
        const std::string para = edit->GetPara(c.line);
        ASSERT_EQ(edit->SelStartLine(), c.line);
        ASSERT_EQ(edit->SelEndLine(), c.line);
        EXPECT_EQ(para.substr(size_t(edit->SelStartCol() - 1), size_t(edit->SelEndCol() - edit->SelStartCol())), c.word)
            << "line " << c.line << " column " << c.col;
        EXPECT_EQ(edit->CaretCol(), edit->SelEndCol());
    }
    Click(Cell(0, 1));
    DoubleClick(Cell(0, 12), Qt::ShiftModifier);
    EXPECT_EQ(Sel(), "1,1-1,14 caret 1,14") << "Shift: from the selection's start to the word's end";
    Click(Cell(0, 13));
    DoubleClick(Cell(0, 2), Qt::ShiftModifier);
    EXPECT_EQ(Sel(), "1,1-1,13 caret 1,1") << "Shift: from the word's start to the selection's end";
}
