// Key bindings, command tables, the built-in tables and key translation.
#include "components/ZalCmd.h"

#include <gtest/gtest.h>

#include "CmdTestUtil.h"

#include "platform/Keyboard.h"
#include "platform/VirtualKeys.h"

namespace {

struct Row {
    int firstKey, firstShift, secondKey, secondShift, command;
};

// The built-in tables written out independently as plain numbers, so that the check
// shares no names or helpers with the code under test.
std::vector<Row> ReferenceDefault() {
    std::vector<Row> rows = {
        {0x25, 0, 0, 0, 46}, {0x27, 0, 0, 0, 55}, {0x25, 4, 0, 0, 74}, {0x27, 4, 0, 0, 75},
        {0x24, 0, 0, 0, 42}, {0x23, 0, 0, 0, 16}, {0x2E, 0, 0, 0, 10}, {0x08, 0, 0, 0, 1},
        {0x08, 2, 0, 0, 1},  {0x21, 4, 0, 0, 71}, {0x22, 4, 0, 0, 2},  {0x2D, 0, 0, 0, 44},
        {0x5A, 4, 0, 0, 72}, {0x08, 8, 0, 0, 54}, {0x26, 0, 0, 0, 73}, {0x28, 0, 0, 0, 15},
        {0x0D, 4, 0, 0, 47}, {0x25, 2, 0, 0, 20}, {0x27, 2, 0, 0, 23}, {0x24, 2, 0, 0, 19},
        {0x23, 2, 0, 0, 18}, {0x25, 6, 0, 0, 29}, {0x27, 6, 0, 0, 30}, {0x21, 2, 0, 0, 22},
        {0x22, 2, 0, 0, 21}, {0x26, 2, 0, 0, 24}, {0x28, 2, 0, 0, 17}, {0x24, 6, 0, 0, 26},
        {0x23, 6, 0, 0, 27}, {0x21, 6, 0, 0, 28}, {0x22, 6, 0, 0, 25}, {0x2E, 2, 0, 0, 8},
        {0x58, 4, 0, 0, 8},  {0x2D, 4, 0, 0, 6},  {0x43, 4, 0, 0, 6},  {0x2D, 2, 0, 0, 51},
        {0x56, 4, 0, 0, 51}, {0x21, 0, 0, 0, 52}, {0x22, 0, 0, 0, 48}, {0x24, 4, 0, 0, 31},
        {0x23, 4, 0, 0, 45}, {0x09, 0, 0, 0, 68}, {0x09, 4, 0, 0, 68}, {0x5A, 6, 0, 0, 53},
    };
    for (int d = 0; d < 10; ++d) rows.push_back({0x30 + d, 4, 0, 0, 32 + d});
    for (int d = 0; d < 10; ++d) rows.push_back({0x30 + d, 6, 0, 0, 58 + d});
    return rows;
}

std::vector<Row> ReferenceWordStar() {
    std::vector<Row> rows = {
        {0x53, 4, 0, 0, 46},      {0x44, 4, 0, 0, 55},      {0x45, 4, 0, 0, 73},
        {0x58, 4, 0, 0, 15},      {0x52, 4, 0, 0, 52},      {0x43, 4, 0, 0, 48},
        {0x57, 4, 0, 0, 57},      {0x5A, 4, 0, 0, 56},      {0x41, 4, 0, 0, 74},
        {0x46, 4, 0, 0, 75},      {0x51, 4, 0x53, 128, 42}, {0x51, 4, 0x44, 128, 16},
        {0x47, 4, 0, 0, 10},      {0x48, 4, 0, 0, 1},       {0x59, 4, 0, 0, 13},
        {0x51, 4, 0x59, 128, 12}, {0x56, 4, 0, 0, 44},      {0x54, 4, 0, 0, 14},
        {0x50, 4, 0, 0, 7},       {0x51, 4, 0x4C, 128, 54},
    };
    for (int d = 0; d < 10; ++d) rows.push_back({0x51, 4, 0x30 + d, 128, 32 + d});
    for (int d = 0; d < 10; ++d) rows.push_back({0x4B, 4, 0x30 + d, 128, 58 + d});
    return rows;
}

std::vector<Row> ReferenceGrid() {
    return {
        {0x25, 0, 0, 0, 46}, {0x27, 0, 0, 0, 55}, {0x25, 4, 0, 0, 49}, {0x27, 4, 0, 0, 50},
        {0x24, 0, 0, 0, 42}, {0x23, 0, 0, 0, 16}, {0x2E, 0, 0, 0, 10}, {0x08, 0, 0, 0, 1},
        {0x22, 4, 0, 0, 2},  {0x21, 4, 0, 0, 71}, {0x2D, 0, 0, 0, 44}, {0x5A, 4, 0, 0, 54},
        {0x26, 0, 0, 0, 73}, {0x28, 0, 0, 0, 15}, {0x25, 2, 0, 0, 20}, {0x27, 2, 0, 0, 23},
        {0x24, 2, 0, 0, 19}, {0x23, 2, 0, 0, 18}, {0x25, 6, 0, 0, 29}, {0x27, 6, 0, 0, 30},
        {0x21, 2, 0, 0, 22}, {0x22, 2, 0, 0, 21}, {0x26, 2, 0, 0, 24}, {0x28, 2, 0, 0, 17},
        {0x24, 6, 0, 0, 26}, {0x23, 6, 0, 0, 27}, {0x21, 6, 0, 0, 28}, {0x22, 6, 0, 0, 25},
        {0x58, 4, 0, 0, 8},  {0x43, 4, 0, 0, 6},  {0x56, 4, 0, 0, 51}, {0x21, 0, 0, 0, 52},
        {0x24, 4, 0, 0, 31}, {0x22, 0, 0, 0, 48}, {0x23, 4, 0, 0, 45}, {0x26, 4, 0, 0, 70},
        {0x28, 4, 0, 0, 3},  {0x71, 0, 0, 0, 69},
    };
}

void ExpectTableEquals(const TZalCommandTable& table, const std::vector<Row>& rows) {
    ASSERT_EQ(table.BindingCount(), static_cast<int>(rows.size())) << table.TableName;
    for (int i = 0; i < table.BindingCount(); ++i) {
        const TZalKeyBinding b = table.GetBinding(i);
        const Row& r = rows[static_cast<size_t>(i)];
        EXPECT_EQ(b.FirstKey, r.firstKey) << table.TableName << " #" << i;
        EXPECT_EQ(b.FirstShift, r.firstShift) << table.TableName << " #" << i;
        EXPECT_EQ(b.SecondKey, r.secondKey) << table.TableName << " #" << i;
        EXPECT_EQ(b.SecondShift, r.secondShift) << table.TableName << " #" << i;
        EXPECT_EQ(b.Command, r.command) << table.TableName << " #" << i;
    }
}

// Presses a key as a WM_KEYDOWN with the given modifiers held.
TZalCommand Press(TZalCommandProcessor& p, uint16_t vk, bool shift = false, bool ctrl = false,
                  bool alt = false) {
    TKeyboardState s;
    s.Shift = shift || vk == VK_SHIFT;
    s.Control = ctrl || vk == VK_CONTROL;
    s.Alt = alt || vk == VK_MENU;
    s.DownKey = vk;
    SetMessageKeyState(s);
    TMessage m;
    m.Msg = WM_KEYDOWN;
    m.WParam = vk;
    return p.TranslateKeyMessage(m);
}
TZalCommand Ctrl(TZalCommandProcessor& p, uint16_t vk) { return Press(p, vk, false, true); }

void OnlyActive(TZalCommandProcessor& p, std::initializer_list<const char*> names) {
    for (int i = 0; i < p.TableCount(); ++i) p.Tables(i).IsActive = false;
    for (const char* n : names) p.FindTable(n)->IsActive = true;
}

// ---- bindings and tables ----

TEST(ZalKeyBinding, IsSixBytesAndKeySequenceIsLittleEndian) {
    EXPECT_EQ(sizeof(TZalKeyBinding), 6u);
    const TZalKeyBinding ctrlZ = B(0x5A, 4, 72);
    EXPECT_EQ(ctrlZ.KeySequence(), 0x045A);
    const TZalKeyBinding qs = B(0x51, 4, 42, 0x53, 128);
    EXPECT_EQ(static_cast<uint32_t>(qs.KeySequence()), 0x80530451u);
    EXPECT_LT(qs.KeySequence(), 0);
    EXPECT_EQ(TZalKeyBinding::FromSequence(qs.KeySequence(), 42), qs);
}

TEST(ZalCommandTable, NewTableAndListOperations) {
    TZalCommandTable t;
    EXPECT_EQ(t.TableName, "(Unknown)");
    EXPECT_TRUE(t.IsActive);
    EXPECT_EQ(t.BindingCount(), 0);

    EXPECT_EQ(t.AppendBinding(B(1, 0, 10)), 0);
    EXPECT_EQ(t.AppendBinding(B(2, 0, 20)), 1);
    EXPECT_EQ(t.AppendBinding(B(1, 0, 30)), 2); // no duplicate check
    t.InsertBinding(1, B(3, 0, 40));
    t.InsertBinding(4, B(4, 0, 50)); // at the end
    // 1:10 3:40 2:20 1:30 4:50
    EXPECT_EQ(t.GetBinding(1), B(3, 0, 40));
    EXPECT_EQ(t.GetBinding(4), B(4, 0, 50));
    EXPECT_EQ(t.IndexOfKeys(B(1, 0, 999)), 0); // the command is not part of the identity
    EXPECT_EQ(t.IndexOfKeys(B(1, 2, 10)), -1);
    EXPECT_EQ(t.IndexOfKeys(B(1, 0, 10, 1, 0)), -1);

    t.ReplaceBinding(2, B(7, 4, 70));
    EXPECT_EQ(t.GetBinding(2), B(7, 4, 70));
    EXPECT_EQ(t.BindingCount(), 5);
    t.DeleteBinding(0);
    EXPECT_EQ(t.GetBinding(0), B(3, 0, 40));
    EXPECT_EQ(t.IndexOfKeys(B(1, 0, 0)), 2); // the later duplicate is found now
    EXPECT_EQ(t.BindingCount(), 4);

    EXPECT_THROW(t.GetBinding(4), EListError);
    EXPECT_THROW(t.GetBinding(-1), EListError);
    EXPECT_THROW(t.ReplaceBinding(4, B(1, 0, 1)), EListError);
    EXPECT_THROW(t.DeleteBinding(4), EListError);
    EXPECT_THROW(t.InsertBinding(5, B(1, 0, 1)), EListError);
    EXPECT_EQ(t.BindingCount(), 4);

    t.ClearBindings();
    EXPECT_EQ(t.BindingCount(), 0);
}

TEST(ZalCommandProcessor, BuiltInTablesMatchTheReference) {
    TZalCommandProcessor p;
    ASSERT_EQ(p.TableCount(), 3);
    EXPECT_EQ(p.Tables(0).TableName, "Default");
    EXPECT_EQ(p.Tables(1).TableName, "WordStar");
    EXPECT_EQ(p.Tables(2).TableName, "Grid");
    EXPECT_TRUE(p.Tables(0).IsActive);
    EXPECT_FALSE(p.Tables(1).IsActive);
    EXPECT_FALSE(p.Tables(2).IsActive);
    ExpectTableEquals(p.Tables(0), ReferenceDefault());
    ExpectTableEquals(p.Tables(1), ReferenceWordStar());
    ExpectTableEquals(p.Tables(2), ReferenceGrid());
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsIdle);
    EXPECT_THROW(p.Tables(3), EListError);
}

TEST(ZalCommandProcessor, FindTableIgnoresAsciiCaseOnly) {
    TZalCommandProcessor p;
    EXPECT_EQ(p.FindTable("default"), &p.Tables(0));
    EXPECT_EQ(p.FindTable("WORDSTAR"), &p.Tables(1));
    EXPECT_EQ(p.FindTable("gRID"), &p.Tables(2));
    EXPECT_EQ(p.FindTable("Grid "), nullptr);
    p.CreateTable("\xE9t\xE9", true); // Windows-1252 "ete" with accents
    EXPECT_NE(p.FindTable("\xE9T\xE9"), nullptr);
    EXPECT_EQ(p.FindTable("\xC9T\xC9"), nullptr); // non-ASCII letters keep their case
}

TEST(ZalCommandProcessor, AddBindingRejectsUnknownTablesAndDuplicates) {
    TZalCommandProcessor p;
    try {
        p.AddBinding("NoSuchTable", B(0x41, 4, 300));
        FAIL() << "no error for a missing table";
    } catch (const ETableNotFound& e) {
        EXPECT_STREQ(e.what(), "Command table not found or command table index out of range");
    }
    try {
        p.AddBinding("default", B(0x5A, 4, 300)); // Ctrl+Z is bound already
        FAIL() << "no error for a duplicate";
    } catch (const EDuplicateCommand& e) {
        EXPECT_STREQ(e.what(), "Duplicate command found while adding a new command to the table");
    }
    EXPECT_EQ(p.Tables(0).BindingCount(), 64);
    EXPECT_EQ(p.Tables(0).GetBinding(12).Command, 72);

    EXPECT_EQ(p.AddBinding("DEFAULT", B(0x41, 4, 300)), 64);
    EXPECT_EQ(p.Tables(0).GetBinding(64), B(0x41, 4, 300));
    // The same key with another shift is a different sequence.
    EXPECT_EQ(p.AddBinding("Default", B(0x5A, 8, 301)), 65);
}

TEST(ZalCommandProcessor, AddTableMakesNamesUnique) {
    TZalCommandProcessor p;
    auto nameOf = [&](const std::string& name) {
        return p.Tables(p.CreateTable(name, false)).TableName;
    };
    EXPECT_EQ(nameOf("Default"), "Default1");
    EXPECT_EQ(nameOf("default"), "default2"); // the comparison ignores case
    EXPECT_EQ(nameOf("Grid7"), "Grid1");      // "Grid" taken: numbered from the base
    EXPECT_EQ(nameOf("Other7"), "Other7");    // no "Other": the name is kept as it is
    EXPECT_EQ(nameOf("7"), "7");
    EXPECT_EQ(nameOf("7"), "71");             // a one-character name is never shortened
    EXPECT_EQ(nameOf("Fresh"), "Fresh");

    TZalCommandProcessor q;
    q.CreateTable("Mine", true);
    EXPECT_EQ(q.Tables(q.CreateTable("Default2", true)).TableName, "Default1");

    // A kept name with digits that is already taken must still end up unique.
    q.CreateTable("Pad3", true);
    EXPECT_EQ(q.Tables(q.CreateTable("Pad3", true)).TableName, "Pad1");
    EXPECT_EQ(q.Tables(q.CreateTable("Pad3", true)).TableName, "Pad2");
    int sameName = 0;
    for (int i = 0; i < q.TableCount(); ++i) sameName += q.Tables(i).TableName == "Pad3";
    EXPECT_EQ(sameName, 1);

    // AddTable takes a table as it is and returns its index.
    auto t = std::make_unique<TZalCommandTable>();
    t->TableName = "WordStar";
    t->IsActive = false;
    t->AppendBinding(B(1, 0, 5));
    const int i = q.AddTable(std::move(t));
    EXPECT_EQ(i, q.TableCount() - 1);
    EXPECT_EQ(q.Tables(i).TableName, "WordStar1");
    EXPECT_EQ(q.Tables(i).BindingCount(), 1);
    EXPECT_FALSE(q.Tables(i).IsActive);

    q.ClearTables();
    EXPECT_EQ(q.TableCount(), 0);
    EXPECT_EQ(Ctrl(q, 'Z'), ccUnbound);
}

// ---- translation ----

TEST(ZalTranslate, DefaultTableAlone) {
    TZalCommandProcessor p;
    EXPECT_EQ(Ctrl(p, 'Z'), ccUndo);
    EXPECT_EQ(Press(p, 'Z', true, true), ccRedo);
    EXPECT_EQ(Press(p, VK_BACK, true), ccBack);
    EXPECT_EQ(Press(p, VK_BACK), ccBack);
    EXPECT_EQ(Press(p, VK_BACK, false, false, true), ccRestore);
    EXPECT_EQ(Press(p, 'A'), ccUnbound);
    EXPECT_EQ(Press(p, VK_LEFT, false, true, true), ccUnbound); // Ctrl+Alt+Left: exact shift
    EXPECT_EQ(Press(p, VK_LEFT, false, true), ccWordLeft);
    EXPECT_EQ(Press(p, VK_RETURN), ccUnbound);
    EXPECT_EQ(Press(p, VK_RETURN, true), ccUnbound);
    EXPECT_EQ(Ctrl(p, VK_RETURN), ccNewLine);
    EXPECT_EQ(Ctrl(p, '7'), ccGotoMarker7);
    EXPECT_EQ(Press(p, '0', true, true), ccSetMarker0);
    EXPECT_EQ(Ctrl(p, 'Q'), ccUnbound); // WordStar is inactive
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsIdle);

    // The system-key path: Alt comes from the key-state set, other members are ignored.
    EXPECT_EQ(p.TranslateKeyShift(VK_BACK, ssAlt), ccRestore);
    EXPECT_EQ(p.TranslateKeyShift(VK_LEFT, ssLeft | ssDouble | ssMiddle), ccLeft);
    EXPECT_EQ(p.TranslateKeyShift(VK_LEFT, ssShift | ssCtrl), ccExtWordLeft);
    EXPECT_EQ(p.TranslateKeyShift(VK_LEFT, ssAlt), ccUnbound);
}

TEST(ZalTranslate, KeyCodesUseTheLowByteForMatching) {
    TZalCommandProcessor p;
    TMessage m;
    m.Msg = WM_KEYDOWN;
    m.WParam = 0x100 | VK_LEFT;
    SetMessageKeyState(TKeyboardState{});
    EXPECT_EQ(p.TranslateKeyMessage(m), ccLeft);
    EXPECT_EQ(p.TranslateKeyShift(0x100 | VK_LEFT, 0), ccLeft);

    // The modifier test of the key-state entry sees all 16 bits: 0x110 is no Shift key.
    const int t = p.CreateTable("Low", true);
    p.Tables(t).AppendBinding(B(VK_SHIFT, 0, 300));
    EXPECT_EQ(p.TranslateKeyShift(VK_SHIFT, 0), ccUnbound);
    EXPECT_EQ(p.TranslateKeyShift(0x100 | VK_SHIFT, 0), 300);
}

TEST(ZalTranslate, EarlierActiveTableWins) {
    TZalCommandProcessor p;
    OnlyActive(p, {"Default", "WordStar"});
    EXPECT_EQ(Ctrl(p, 'X'), ccCut);  // both bind it; Default comes first
    EXPECT_EQ(Ctrl(p, 'S'), ccLeft); // only WordStar binds it
    OnlyActive(p, {"WordStar"});
    EXPECT_EQ(Ctrl(p, 'X'), ccDown);
    OnlyActive(p, {"Default", "Grid"});
    EXPECT_EQ(Ctrl(p, 'Z'), ccUndo);
    EXPECT_EQ(Ctrl(p, VK_UP), ccTopLeftCell);
    EXPECT_EQ(Press(p, VK_F2), ccTableEdit);
    OnlyActive(p, {"Grid"});
    EXPECT_EQ(Ctrl(p, 'Z'), ccRestore);
    OnlyActive(p, {});
    EXPECT_EQ(Ctrl(p, 'Z'), ccUnbound);
}

TEST(ZalTranslate, WordStarPrefixes) {
    TZalCommandProcessor p;
    OnlyActive(p, {"WordStar"});
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsAwaitSecondKey);
    EXPECT_EQ(Press(p, 'S'), ccHome);
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsIdle);

    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Ctrl(p, 'S'), ccHome);

    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Press(p, 'S', true), ccDiscard);
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsIdle);
    EXPECT_EQ(Ctrl(p, 'S'), ccLeft); // translated normally after the discard

    // Shift alone keeps the prefix, but S with Shift still down completes nothing.
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Press(p, VK_SHIFT), ccPending);
    EXPECT_EQ(Press(p, 'S', true), ccDiscard);
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Press(p, VK_CONTROL), ccPending);
    EXPECT_EQ(Press(p, 'S'), ccHome);

    // Alt, or Ctrl with Shift, is neither "no modifier" nor "Ctrl alone".
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Press(p, 'S', false, false, true), ccDiscard);
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Press(p, 'S', true, true), ccDiscard);

    EXPECT_EQ(Ctrl(p, 'K'), ccPending);
    EXPECT_EQ(Press(p, '3'), ccSetMarker3);
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Ctrl(p, '9'), ccGotoMarker9);
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Press(p, 'L'), ccRestore);

    // A plain Q is no prefix; the prefix needs Ctrl.
    EXPECT_EQ(Press(p, 'Q'), ccUnbound);
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsIdle);
}

TEST(ZalTranslate, LockAndModifierKeys) {
    TZalCommandProcessor p;
    OnlyActive(p, {"Default", "WordStar"});
    for (uint16_t vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_CAPITAL, VK_NUMLOCK, VK_SCROLL}) {
        EXPECT_EQ(Press(p, vk), ccUnbound) << vk;
        EXPECT_EQ(p.State(), TZalCommandProcessor::tsIdle);
    }
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    for (uint16_t vk : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL, VK_MENU})
        EXPECT_EQ(Press(p, vk), ccPending) << vk;
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsAwaitSecondKey);
    EXPECT_EQ(Press(p, 'S'), ccHome);
    // A key bound in neither table while a prefix waits is discarded.
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Press(p, VK_F2), ccDiscard);
}

TEST(ZalTranslate, CtrlCharLeavesTheNextKeyUntranslated) {
    TZalCommandProcessor p;
    OnlyActive(p, {"WordStar"});
    EXPECT_EQ(Ctrl(p, 'P'), ccCtrlChar);
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsLiteralNext);
    EXPECT_EQ(Ctrl(p, 'Y'), ccUnbound);
    EXPECT_EQ(Ctrl(p, 'Y'), ccDelLine);

    // Modifier keys in between keep the literal-next state.
    EXPECT_EQ(Ctrl(p, 'P'), ccCtrlChar);
    EXPECT_EQ(Press(p, VK_CONTROL), ccUnbound);
    EXPECT_EQ(Press(p, VK_CAPITAL), ccUnbound);
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsLiteralNext);
    EXPECT_EQ(Ctrl(p, 'Q'), ccUnbound); // not a prefix now
    EXPECT_EQ(Ctrl(p, 'Q'), ccPending);
    EXPECT_EQ(Press(p, 'D'), ccEnd);

    // A two-key binding to ccCtrlChar starts the literal-next state as well.
    p.Tables(p.CreateTable("Extra", true)).AppendBinding(B('K', 4, ccCtrlChar, 'P', 128));
    EXPECT_EQ(Ctrl(p, 'K'), ccPending);
    EXPECT_EQ(Press(p, 'P'), ccCtrlChar);
    EXPECT_EQ(Ctrl(p, 'S'), ccUnbound);
    EXPECT_EQ(Ctrl(p, 'S'), ccLeft);
}

TEST(ZalTranslate, PrefixMayBeCompletedByALaterTable) {
    TZalCommandProcessor p;
    const int a = p.CreateTable("A", true);
    const int b = p.CreateTable("B", true);
    p.Tables(a).AppendBinding(B('J', 4, 300, 'K', 0));
    p.Tables(b).AppendBinding(B('J', 4, 301, 'L', 0));
    EXPECT_EQ(Ctrl(p, 'J'), ccPending);
    EXPECT_EQ(Press(p, 'L'), 301);
    EXPECT_EQ(Ctrl(p, 'J'), ccPending);
    EXPECT_EQ(Press(p, 'K'), 300);
    EXPECT_EQ(Ctrl(p, 'J'), ccPending);
    EXPECT_EQ(Ctrl(p, 'K'), ccDiscard); // exact second shift here
}

TEST(ZalTranslate, EarlierBindingHidesLaterOneAndZeroCommandsPassOn) {
    TZalCommandProcessor p;
    OnlyActive(p, {});
    const int t = p.CreateTable("T", true);
    p.Tables(t).AppendBinding(B('J', 4, 300));
    p.Tables(t).AppendBinding(B('J', 4, 301, 'K', 0));
    EXPECT_EQ(Ctrl(p, 'J'), 300);
    p.Tables(t).DeleteBinding(0);
    p.Tables(t).AppendBinding(B('J', 4, 300));
    EXPECT_EQ(Ctrl(p, 'J'), ccPending);
    EXPECT_EQ(Press(p, 'K'), 301);

    // A binding to command 0 decides its table but lets later tables answer.
    p.Tables(t).InsertBinding(0, B('Y', 4, 0));
    p.Tables(t).AppendBinding(B('Y', 4, 302)); // hidden by the zero binding
    p.FindTable("WordStar")->IsActive = true;
    EXPECT_EQ(Ctrl(p, 'Y'), ccDelLine);
    p.FindTable("WordStar")->IsActive = false;
    EXPECT_EQ(Ctrl(p, 'Y'), ccUnbound);
    // A second key bound to 0 still ends the sequence: later tables see that key as a
    // first key, and a key nobody binds then is plainly unbound.
    p.Tables(t).InsertBinding(0, B('J', 4, 0, 'L', 0));
    EXPECT_EQ(Ctrl(p, 'J'), ccPending);
    EXPECT_EQ(Press(p, 'L'), ccUnbound);
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsIdle);
    const int later = p.CreateTable("Later", true);
    p.Tables(later).AppendBinding(B('J', 4, 303, 'L', 0));
    p.Tables(later).AppendBinding(B('L', 0, 304));
    EXPECT_EQ(Ctrl(p, 'J'), ccPending);
    EXPECT_EQ(Press(p, 'L'), 304);
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsIdle);
}

} // namespace
