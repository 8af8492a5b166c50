#include <gtest/gtest.h>

#include <QTest>

#include "TestWindow.h"
#include "platform/KeyMap.h"
#include "platform/Keyboard.h"
#include "platform/VirtualKeys.h"

TEST(KeyMap, EveryKeyTheCommandTablesBind) {
    for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_A + (c - 'A'), false), uint16_t(c));
    for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_0 + (c - '0'), false), uint16_t(c));
    for (int f = 0; f < 12; ++f) EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F1 + f, false), VK_F1 + f);
    const std::pair<int, uint16_t> keys[] = {
        {Qt::Key_Left, VK_LEFT},       {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Up, VK_UP},
        {Qt::Key_Down, VK_DOWN},       {Qt::Key_Home, VK_HOME},      {Qt::Key_End, VK_END},
        {Qt::Key_PageUp, VK_PRIOR},    {Qt::Key_PageDown, VK_NEXT},  {Qt::Key_Backspace, VK_BACK},
        {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},    {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Insert, VK_INSERT},
        {Qt::Key_Delete, VK_DELETE},   {Qt::Key_Shift, VK_SHIFT},    {Qt::Key_Control, VK_CONTROL},
        {Qt::Key_Alt, VK_MENU},        {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_NumLock, VK_NUMLOCK},
        {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Space, VK_SPACE},  {Qt::Key_Comma, VK_OEM_COMMA},
        {Qt::Key_BracketLeft, VK_OEM_4}, {Qt::Key_Exclam, '1'},
    };
    for (auto [qt, vk] : keys) {
        EXPECT_EQ(VirtualKeyFromQtKey(qt, false), vk) << "Qt key " << std::hex << qt;
        if (qt != Qt::Key_Backtab && qt != Qt::Key_Enter && qt != Qt::Key_Exclam) {
            EXPECT_EQ(VirtualKeyFromQtKey(QtKeyFromVirtualKey(vk), false), vk);
        }
    }
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_7, true), VK_NUMPAD7);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Plus, true), VK_ADD);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Home, true), VK_HOME);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_unknown, false), 0);
}

namespace {
struct TKeyWindow : THostedWindow {
    std::vector<std::pair<UINT, WPARAM>> Keys; // key and character messages, in order
    std::vector<TKeyboardState> States;       // GetKeyState as seen by each key message
    LRESULT DlgCode = 0;
    bool KeepModifiers = false; // Qt Test presses the modifier keys around a click
    TKeyWindow() {
        Recorder.Hook = [this](TMessage& m) {
            switch (m.Msg) {
            case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: case WM_CHAR: case WM_SYSCHAR: {
                const bool modifier = m.WParam == VK_SHIFT || m.WParam == VK_CONTROL || m.WParam == VK_MENU;
                const bool character = m.Msg == WM_CHAR || m.Msg == WM_SYSCHAR;
                if (modifier && !character && !KeepModifiers) return true;
                Keys.emplace_back(m.Msg, m.WParam);
                TKeyboardState s;
                s.Shift = GetKeyState(VK_SHIFT) < 0;
                s.Control = GetKeyState(VK_CONTROL) < 0;
                s.Alt = GetKeyState(VK_MENU) < 0;
                s.DownKey = GetKeyState(int(m.WParam)) < 0 ? uint16_t(m.WParam) : 0;
                States.push_back(s);
                return true;
            }
            case WM_GETDLGCODE: m.Result = DlgCode; return true;
            default: return false;
            }
        };
    }
    void Clear() { Keys.clear(), States.clear(); }
};
using M = std::vector<std::pair<UINT, WPARAM>>;
} // namespace

TEST(KeyMessages, PrintableKeysGiveKeyDownCharacterAndKeyUp) {
    TKeyWindow w;
    QTest::keyClick(w.Area(), Qt::Key_A);
    EXPECT_EQ(w.Keys, (M{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}}));
    w.Clear();
    QTest::keyClick(w.Area(), 'A', Qt::ShiftModifier);
    ASSERT_EQ(w.Keys.size(), 3u);
    EXPECT_EQ(w.Keys[1], (std::pair<UINT, WPARAM>{WM_CHAR, 'A'}));
    EXPECT_TRUE(w.States[0].Shift);
    EXPECT_FALSE(w.States[0].Control);
    EXPECT_EQ(w.States[0].DownKey, 'A') << "the key of a key-down reads as down";
    w.Clear();
    QTest::keyClick(w.Area(), Qt::Key_Backspace);
    EXPECT_EQ(w.Keys, (M{{WM_KEYDOWN, VK_BACK}, {WM_CHAR, 8}, {WM_KEYUP, VK_BACK}}));
    w.Clear();
    QTest::keyClick(w.Area(), Qt::Key_Return);
    EXPECT_EQ(w.Keys, (M{{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}, {WM_KEYUP, VK_RETURN}}));
    w.Clear();
    QTest::keyClick(w.Area(), Qt::Key_Escape);
    EXPECT_EQ(w.Keys, (M{{WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27}, {WM_KEYUP, VK_ESCAPE}}));
    w.Clear();
    // Keys of another layout: the euro sign, e acute, and a letter 1252 lacks.
    for (char16_t ch : {u'\u20AC', u'\u00E9', u'\u0151'})
        QTest::sendKeyEvent(QTest::Click, w.Area(), Qt::Key_unknown, QString(QChar(ch)), Qt::NoModifier);
    EXPECT_EQ(w.Keys.front(), (std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_PACKET}));
    std::vector<WPARAM> chars;
    for (auto& k : w.Keys)
        if (k.first == WM_CHAR) chars.push_back(k.second);
    EXPECT_EQ(chars, (std::vector<WPARAM>{0x80, 0xE9})) << "characters arrive as 1252 bytes";
}

TEST(KeyMessages, ModifierStateDuringKeyMessages) {
    TKeyWindow w;
    QTest::keyClick(w.Area(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(w.Keys, (M{{WM_KEYDOWN, 'Q'}, {WM_CHAR, 17}, {WM_KEYUP, 'Q'}}));
    ASSERT_FALSE(w.States.empty());
    EXPECT_TRUE(w.States[0].Control);
    EXPECT_FALSE(w.States[0].Shift);
    w.Clear();
    QTest::keyClick(w.Area(), Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.Keys, (M{{WM_KEYDOWN, VK_HOME}, {WM_KEYUP, VK_HOME}}));
    EXPECT_TRUE(w.States[0].Control && w.States[0].Shift);
    w.Clear();
    w.KeepModifiers = true;
    QTest::keyPress(w.Area(), Qt::Key_Shift);
    ASSERT_EQ(w.Keys.size(), 1u);
    EXPECT_EQ(w.Keys[0], (std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_SHIFT}));
    EXPECT_TRUE(w.States[0].Shift) << "the shift key's own key-down reports shift down";
    QTest::keyRelease(w.Area(), Qt::Key_Shift);
    EXPECT_FALSE(w.States.back().Shift);
    w.Clear();
    TKeyboardState s;
    s.Control = true;
    SetMessageKeyState(s);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    SetMessageKeyState(TKeyboardState{});
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
}

TEST(KeyMessages, AltCombinationsAreSystemKeys) {
    TKeyWindow w;
    QTest::keyClick(w.Area(), Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(w.Keys, (M{{WM_SYSKEYDOWN, 'X'}, {WM_SYSCHAR, 'x'}, {WM_SYSKEYUP, 'X'}}));
    EXPECT_TRUE(w.States[0].Alt);
    w.Clear();
    w.KeepModifiers = true;
    QTest::keyPress(w.Area(), Qt::Key_Alt);
    QTest::keyRelease(w.Area(), Qt::Key_Alt);
    EXPECT_EQ(w.Keys, (M{{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYUP, VK_MENU}}));
    w.KeepModifiers = false;
    w.Clear();
    QTest::keyClick(w.Area(), Qt::Key_Backspace, Qt::AltModifier);
    ASSERT_FALSE(w.Keys.empty());
    EXPECT_EQ(w.Keys[0], (std::pair<UINT, WPARAM>{WM_SYSKEYDOWN, VK_BACK}));
    auto alt = w.Recorder.Of(WM_SYSKEYDOWN);
    ASSERT_FALSE(alt.empty());
    EXPECT_TRUE(alt.back().LParam & KF_ALTDOWN_BIT);
}

TEST(KeyMessages, TabReachesTheWindowOnlyWhenItAsksForIt) {
    TKeyWindow w;
    QWidget other(&w.Host);
    other.setFocusPolicy(Qt::StrongFocus);
    other.setGeometry(0, 0, 5, 5);
    ASSERT_TRUE(w.Show());
    SetFocus(w.Handle());
    ProcessMessages();
    w.Clear();
    w.DlgCode = DLGC_WANTTAB;
    QTest::keyClick(w.Area(), Qt::Key_Tab);
    EXPECT_EQ(w.Keys, (M{{WM_KEYDOWN, VK_TAB}, {WM_CHAR, 9}, {WM_KEYUP, VK_TAB}}));
    w.Clear();
    w.DlgCode = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    QTest::keyPress(w.Area(), Qt::Key_Tab);
    EXPECT_TRUE(w.Keys.empty()) << "without DLGC_WANTTAB the Tab key moves the focus, all keys wanted or not";
}

TEST(KeyMessages, AsyncKeyStateFollowsPressAndRelease) {
    TKeyWindow w;
    QTest::keyPress(w.Area(), Qt::Key_F5);
    EXPECT_LT(GetAsyncKeyState(VK_F5), 0);
    QTest::keyRelease(w.Area(), Qt::Key_F5);
    EXPECT_EQ(GetAsyncKeyState(VK_F5), 0);
}

TEST(KeyMessages, HeldKeysRepeatKeyDownsOnly) {
    TKeyWindow w;
    QTest::keyPress(w.Area(), Qt::Key_Right);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(w.Area(), &release);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(w.Area(), &repeat);
    QTest::keyRelease(w.Area(), Qt::Key_Right);
    EXPECT_EQ(w.Keys, (M{{WM_KEYDOWN, VK_RIGHT}, {WM_KEYDOWN, VK_RIGHT}, {WM_KEYUP, VK_RIGHT}}));
    auto downs = w.Recorder.Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_FALSE(downs[0].LParam & KF_REPEAT_BIT);
    EXPECT_TRUE(downs[1].LParam & KF_REPEAT_BIT) << "the key was down before";
}
