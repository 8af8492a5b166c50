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

class InputTest : public ShownEditorTest {
protected:
    void SetUp() override {
        ShownEditorTest::SetUp();
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
    std::string Text() {
        std::string all;
        for (int32_t p = 1; p <= edit->ParaCount(); ++p) all += (p > 1 ? "|" : "") + edit->GetPara(p);
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
    // As the system delivers it: a click, then the double click in place of the second press.
    void DoubleClick(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Drag({p}, mods);
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
    static std::vector<std::string> Lines(int from, int to) {
        std::vector<std::string> v;
        for (int i = from; i <= to; ++i) v.push_back("line " + std::to_string(i));
        return v;
    }

    TPointerScript script;
};
} // namespace

TEST_F(InputTest, KeysTypeThroughTheTablesAndSequencesSwallowTheirCharacters) {
    Type("Hello");
    EXPECT_EQ(Text(), "Hello");
    // Ctrl+Q S goes home and its S is not typed; Ctrl+Q X completes nothing: X is typed.
    OnlyBindings({B('Q', ksCtrl, ccHome, 'S', ksCtrlOrNone), B('U', ksAlt, ccUserBase + 7)});
    Key(Qt::Key_Q, Qt::ControlModifier);
    Key(Qt::Key_S);
    EXPECT_EQ(edit->CaretCol(), 1);
    Key(Qt::Key_Q, Qt::ControlModifier);
    Key(Qt::Key_X);
    EXPECT_EQ(Text(), "xHello");
    // Backspace bound nowhere: neither its character nor Ctrl+Backspace's (127) is typed.
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace, Qt::ControlModifier);
    Type("y");
    EXPECT_EQ(Text(), "xyHello");
    // Alt combinations go through the tables with Alt and type nothing.
    std::vector<uint16_t> user;
    edit->OnUserCommand = [&](TComponent*, uint16_t c) { user.push_back(c); };
    Key(Qt::Key_U, Qt::AltModifier);
    Key(Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(user, std::vector<uint16_t>{ccUserBase + 7});
    EXPECT_EQ(Text(), "xyHello");
    EXPECT_EQ(edit->Perform(CM_DIALOGCHAR, VK_BACK, KF_ALTDOWN_BIT), 1) << "no accelerator";
}

TEST_F(InputTest, TabAndEnterFollowWantTabAndWantEnter) {
    OnlyBindings({});
    edit->SetWantTab(true);
    EXPECT_EQ(edit->Perform(WM_GETDLGCODE), DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Return);
    edit->SetWantEnter(false);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "\t|");
    edit->SetWantTab(false);
    Key(Qt::Key_Tab);
    ProcessPendingEvents();
    EXPECT_EQ(Text(), "\t|");
    EXPECT_TRUE(other->Focused()) << "Tab is left to the dialog: the focus moves on";
}

TEST_F(InputTest, InsertModeTravelsThroughTheControllerAndTheCaretFollowsTheFocus) {
    Key(Qt::Key_Insert); // bound to the insert toggle
    Focus(other);
    EXPECT_FALSE(edit->CaretPair().Attached());
    EXPECT_TRUE(other->CaretPair().Attached());
    EXPECT_FALSE(other->InsertMode() || other->CaretPair().UseInsertCaret()) << "taken from the controller";
    QTest::keyClick(Area(other), Qt::Key_Insert);
    Focus(edit);
    EXPECT_TRUE(edit->InsertMode());
    Key(Qt::Key_Insert);
    Focus(other);
    Focus(edit);
    Type("ab");
    edit->MoveCaretTo(1, 1, false);
    Type("x");
    EXPECT_EQ(Text(), "xb") << "still overwriting after leaving and coming back";
}

TEST_F(InputTest, GrowingUntilEverythingFitsShowsTheTextFromTheTop) {
    Load(*edit, Lines(1, 30));
    edit->SetHeight(100);
    edit->SetTopLine(20);
    edit->SetHeight(150);
    EXPECT_EQ(edit->TopLine(), 20) << "still too small: the view stays";
    edit->SetHeight(590);
    ASSERT_GE(edit->VisibleRows(), edit->LineCount());
    EXPECT_EQ(edit->TopLine(), 1);
}

TEST_F(InputTest, ClicksDragsAndDoubleClicksSelectByCharactersWordsLinesAndParagraphs) {
    std::vector<std::string> text = Lines(2, 8);
    text.insert(text.begin(), "foo  bar, baz");
    SetText(text);
    MoveTo(Margin(2));
    EXPECT_EQ(Client()->cursor().shape(), Qt::BitmapCursor) << "the line cursor";
    MoveTo(Cell(2, 2));
    EXPECT_EQ(Client()->cursor().shape(), Qt::IBeamCursor);
    const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
    const struct {
        bool doubleClick;
        std::vector<QPoint> path;
        Qt::KeyboardModifiers mods;
        const char* sel;
    } steps[] = {
        {false, {Cell(0, 3, true)}, none, "1,4-1,4 caret 1,4"}, // a cell's right half: after it
        {false, {Cell(0, 30)}, none, "1,14-1,14 caret 1,14"},
        {false, {Cell(1, 3), Cell(2, 4), Cell(3, 5, true)}, none, "2,3-4,6 caret 4,6"},
        {false, {Cell(3, 2), Cell(1, 3)}, none, "2,3-4,2 caret 2,3"},
        {false, {Cell(1, 1), Cell(2, 1)}, shift, "3,1-4,2 caret 3,1"},
        // The margin: the line up to the start of the next, the last one up to its end.
        {false, {Margin(2)}, none, "3,1-4,1 caret 4,1"},
        {false, {Margin(7)}, none, "8,1-8,7 caret 8,7"},
        {false, {Margin(1), Margin(2), Margin(4)}, none, "2,1-6,1 caret 6,1"},
        {false, {Margin(4), Margin(3), Margin(1)}, none, "2,1-5,1 caret 2,1"}, // up past the anchor
        {false, {Margin(6)}, shift, "2,1-8,1 caret 8,1"},
        {true, {Margin(3)}, none, "4,1-4,7 caret 4,7"},
        {false, {Cell(1, 3)}, none, "2,3-2,3 caret 2,3"},
        {true, {Margin(5)}, shift, "2,3-6,7 caret 6,7"}, // on to the end of a later paragraph
        {true, {Margin(0)}, shift, "1,1-6,7 caret 1,1"},
        {false, {Cell(7, 3)}, none, "8,3-8,3 caret 8,3"},
        {true, {Margin(7)}, shift, "8,1-8,7 caret 8,7"}, // from inside the paragraph: all of it
        // Words, with the white space after them.
        {true, {Cell(0, 4)}, none, "1,1-1,6 caret 1,6"},
        {true, {Cell(0, 9)}, none, "1,6-1,9 caret 1,9"},
        {true, {Cell(0, 40)}, none, "1,11-1,14 caret 1,14"},
        {false, {Cell(0, 1)}, none, "1,1-1,1 caret 1,1"},
        {true, {Cell(0, 12)}, shift, "1,1-1,14 caret 1,14"},
        {false, {Cell(0, 13)}, none, "1,13-1,13 caret 1,13"},
        {true, {Cell(0, 2)}, shift, "1,1-1,13 caret 1,1"},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].doubleClick ? DoubleClick(steps[i].path[0], steps[i].mods) : Drag(steps[i].path, steps[i].mods);
        EXPECT_EQ(Sel(), steps[i].sel) << "step " << i;
    }
}

TEST_F(InputTest, DragsOutsideTheWindowScrollPacedByTheDistanceAndTheWheelScrollsAlone) {
    std::vector<std::string> text = Lines(2, 100);
    text.insert(text.begin(), std::string(200, 'w'));
    SetText(text);
    edit->MoveCaretTo(1, 1, false);
    const int rows = edit->VisibleRows(), below = Client()->height(), cw = edit->CharWidth();
    Drag({QPoint(edit->LeftMargin() + edit->VisibleColumns() * cw - cw / 2 + 1, 2)});
    EXPECT_EQ(edit->CaretCol(), edit->VisibleColumns()) << "the partly shown cell counts as the last whole one";
    EXPECT_EQ(edit->HorzOffset(), 0);
    ASSERT_GT(below % edit->RowHeight(), 1) << "the window shows part of a row";
    Drag({QPoint(Cell(0, 2).x(), below - 1)});
    EXPECT_EQ(edit->CaretLine(), rows) << "the partial row counts as the last whole one";
    EXPECT_EQ(edit->TopLine(), 1);

    auto held = [&](QPoint start, int turns, int y) {
        std::vector<QPoint> path(size_t(turns) + 1, QPoint(start.x(), y));
        path[0] = start;
        return path;
    };
    // Far below the window the text scrolls a line per turn; 20 pixels away a line comes
    // once the clock has moved on by more than three scroll-bar heights less 20 ms.
    Drag(held(Cell(0, 2), 10, below + 200));
    const std::string end = std::to_string(rows + 10) + ",2";
    EXPECT_EQ(Sel(), "1,2-" + end + " caret " + end);
    EXPECT_EQ(edit->TopLine(), 11);
    script.Step = 10;
    edit->SetTopLine(1);
    Drag(held(Cell(0, 2), 30, below + 19));
    EXPECT_EQ(edit->TopLine(), 1 + 30 / ((3 * GetSystemMetrics(SM_CYHSCROLL) - 20) / 10 + 1));
    script.Step = 100;
    const int top = edit->TopLine();
    Drag(held(Cell(1, 2), 3, -100));
    EXPECT_EQ(edit->TopLine(), top - 3);
    EXPECT_EQ(edit->CaretLine(), top - 3);
    // From the margin by whole lines, each step off the page repainted at once.
    edit->SetTopLine(1);
    Drag(held(Margin(0), 3, below + 200));
    EXPECT_EQ(Sel(), "1,1-" + std::to_string(rows + 6) + ",1 caret " + std::to_string(rows + 6) + ",1");
    EXPECT_EQ(edit->TopLine(), 7);
    EXPECT_TRUE(Client()->updatesEnabled());

    edit->MoveCaretTo(5, 2, false);
    edit->SetTopLine(1);
    Wheel(-120);
    Wheel(-360);
    EXPECT_EQ(edit->TopLine(), 3) << "toward the user: one line down per message";
    Wheel(120);
    EXPECT_EQ(edit->TopLine(), 2);
    EXPECT_EQ(Sel(), "5,2-5,2 caret 5,2") << "the caret stays";
}

TEST_F(InputTest, AClickFocusesUnlessTheControllerBlocksActivation) {
    Focus(other);
    MoveTo(Cell(0, 3));
    script.Path = {Cell(0, 3), Cell(0, 5)};
    QTest::mousePress(Client(), Qt::LeftButton, Qt::NoModifier, Cell(0, 3));
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(script.At, 0u) << "an empty text: the click only focuses";
    EXPECT_EQ(GetCapture(), nullptr);
    QTest::mouseRelease(Client(), Qt::LeftButton, Qt::NoModifier, Cell(0, 3));
    Type("abcdef");
    Focus(other);
    edit->Controller()->BlockActivation = true;
    Drag({Cell(0, 3)});
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(edit->CaretCol(), 7) << "the click was eaten";
    edit->Controller()->BlockActivation = false;
    Drag({Cell(0, 3)});
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->CaretCol(), 3);
}

TEST_F(InputTest, AnEditorClosedDuringItsDragEndsTheDrag) {
    SetText(Lines(1, 5));
    QWidget* client = Client();
    MoveTo(Cell(0, 2));
    script.Path = {Cell(0, 2), Cell(1, 2), Cell(2, 2)};
    // The status of the first caret placement is handled inside the loop.
    edit->OnShowStatus = [this](TComponent*, int32_t, int32_t) { delete std::exchange(edit, nullptr); };
    const QPoint at = Cell(0, 2);
    QTest::mousePress(client, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(edit, nullptr);
    EXPECT_EQ(script.At, 0u) << "the drag stopped with its window";
}
