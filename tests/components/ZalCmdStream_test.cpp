// The stream forms "CommandList" and "TableList" of the command tables.
#include "CmdTestUtil.h"
#include "components/ZalCmd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>

#include "platform/Keyboard.h"
#include "platform/VirtualKeys.h"

namespace {

std::vector<TZalKeyBinding> Builtin(TZalBuiltinTable which) {
    const auto s = BuiltinBindings(which);
    return {s.begin(), s.end()};
}

std::string TableListText(const TZalCommandProcessor& p) {
    TZalValueWriter w;
    p.WriteTableList(w);
    return w.Text();
}

std::string CommandListText(const TZalCommandTable& t) {
    TZalValueWriter w;
    t.WriteCommandList(w);
    return w.Text();
}

void ReadTableList(TZalCommandProcessor& p, const std::string& text) {
    TZalValueReader r(text);
    p.ReadTableList(r);
    EXPECT_TRUE(r.AtEnd());
}

// What the application's document window stores.
const char* const kStoredForm = "( 'Default' True () 'WordStar' False () 'Grid' False () )";

TEST(ZalCmdStream, BuiltInTablesWriteEmptyDifferenceLists) {
    TZalCommandProcessor p;
    EXPECT_EQ(TableListText(p),
              "(\n"
              "  'Default'\n  True\n  ()\n"
              "  'WordStar'\n  False\n  ()\n"
              "  'Grid'\n  False\n  ()\n"
              ")\n");

    TZalCommandProcessor q;
    ReadTableList(q, kStoredForm);
    ASSERT_EQ(q.TableCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(q.Tables(i).TableName, p.Tables(i).TableName);
        EXPECT_EQ(q.Tables(i).IsActive, p.Tables(i).IsActive);
        EXPECT_EQ(BindingsOf(q.Tables(i)), BindingsOf(p.Tables(i)));
    }
    EXPECT_EQ(TableListText(q), TableListText(p));
}

TEST(ZalCmdStream, NameDifferingOnlyInCaseIsWrittenAsDifferences) {
    TZalCommandTable t;
    t.TableName = "wORDsTAR";
    for (const auto& b : Builtin(TZalBuiltinTable::btWordStar)) t.AppendBinding(b);
    EXPECT_EQ(CommandListText(t), "'wORDsTAR'\nTrue\n()\n");

    TZalCommandTable r;
    TZalValueReader reader("'GRID' False ()");
    r.ReadCommandList(reader);
    EXPECT_EQ(r.TableName, "GRID");
    EXPECT_FALSE(r.IsActive);
    EXPECT_EQ(BindingsOf(r), Builtin(TZalBuiltinTable::btGrid));
}

TEST(ZalCmdStream, ChangedDeletedAndAddedBindingsRoundTrip) {
    const int32_t ctrlZ = 0x5A | 4 << 8;

    {   // Changing the command of binding 12 (Ctrl+Z) gives one pair; reading replaces in place.
        TZalCommandProcessor p;
        p.Tables(0).ReplaceBinding(12, B(0x5A, 4, 300));
        EXPECT_EQ(CommandListText(p.Tables(0)),
                  "'Default'\nTrue\n(\n  " + std::to_string(ctrlZ) + "\n  300\n)\n");
        TZalCommandProcessor q;
        TZalValueReader r(TableListText(p));
        q.ReadTableList(r);
        EXPECT_EQ(q.Tables(0).BindingCount(), 64);
        EXPECT_EQ(q.Tables(0).GetBinding(12), B(0x5A, 4, 300));
        EXPECT_EQ(BindingsOf(q.Tables(0)), BindingsOf(p.Tables(0)));
    }
    {   // Deleting binding 12 writes (its key sequence, 0); reading deletes it again.
        TZalCommandProcessor p;
        p.Tables(0).DeleteBinding(12);
        EXPECT_EQ(CommandListText(p.Tables(0)),
                  "'Default'\nTrue\n(\n  " + std::to_string(ctrlZ) + "\n  0\n)\n");
        TZalCommandProcessor q;
        TZalValueReader r(TableListText(p));
        q.ReadTableList(r);
        EXPECT_EQ(q.Tables(0).BindingCount(), 63);
        EXPECT_EQ(q.Tables(0).IndexOfKeys(B(0x5A, 4, 0)), -1);
        EXPECT_EQ(BindingsOf(q.Tables(0)), BindingsOf(p.Tables(0)));
    }
    {   // A new binding is appended after the built-in ones; all three kinds together.
        TZalCommandProcessor p;
        p.Tables(0).AppendBinding(B(0x41, 4, 400));
        p.Tables(0).DeleteBinding(0);
        p.Tables(0).ReplaceBinding(5, B(VK_DELETE, 0, 401));
        TZalCommandProcessor q;
        TZalValueReader r(TableListText(p));
        q.ReadTableList(r);
        EXPECT_EQ(BindingsOf(q.Tables(0)), BindingsOf(p.Tables(0)));
        EXPECT_EQ(q.Tables(0).GetBinding(63), B(0x41, 4, 400));
    }
}

TEST(ZalCmdStream, TwoKeyWordStarBindingsAreNegative) {
    TZalCommandProcessor p;
    TZalCommandTable& ws = p.Tables(1);
    ws.ReplaceBinding(10, B(0x51, 4, 500, 0x53, 128)); // Ctrl+Q S
    ws.AppendBinding(B(0x51, 4, 501, 0x5A, 128));      // Ctrl+Q Z, new
    const int32_t qs = static_cast<int32_t>(0x80530451u);
    const int32_t qz = static_cast<int32_t>(0x805A0451u);
    EXPECT_EQ(CommandListText(ws), "'WordStar'\nFalse\n(\n  " + std::to_string(qs) + "\n  500\n  " +
                                       std::to_string(qz) + "\n  501\n)\n");
    TZalCommandTable back;
    TZalValueReader r(CommandListText(ws));
    back.ReadCommandList(r);
    EXPECT_EQ(BindingsOf(back), BindingsOf(ws));

    // The unsigned reading of the same 32 bits is accepted too.
    TZalCommandTable alt;
    TZalValueReader r2("'WordStar' True ( " + std::to_string(0x80530451u) + " 0 )");
    alt.ReadCommandList(r2);
    EXPECT_EQ(alt.BindingCount(), 39);
    EXPECT_EQ(alt.IndexOfKeys(B(0x51, 4, 0, 0x53, 128)), -1);
}

TEST(ZalCmdStream, ReadingRules) {
    TZalCommandTable t;
    // Built-in name: an absent key is appended even with command 0; commands are taken
    // to 16 bits, and one that truncates to 0 deletes.
    TZalValueReader r("'Grid' True ( 65 0 1114 65836 37 65536 1 65536 )");
    t.ReadCommandList(r);
    // A added, Ctrl+Z replaced in place, Left deleted, key 1 added with command 0.
    ASSERT_EQ(t.BindingCount(), 39);
    EXPECT_EQ(t.GetBinding(0), B(VK_RIGHT, 0, ccRight));
    EXPECT_EQ(t.GetBinding(10), B(0x5A, 4, 300)); // 65836 & 0xFFFF = 300
    EXPECT_EQ(t.GetBinding(37), B(0x41, 0, 0));
    EXPECT_EQ(t.GetBinding(38), B(1, 0, 0));
    EXPECT_EQ(t.IndexOfKeys(B(VK_LEFT, 0, 0)), -1);

    // Any other name: the pairs as they come, duplicates included.
    TZalCommandTable u;
    TZalValueReader r2("'Mine' False ( 65 5 65 6 -1 7 )");
    u.ReadCommandList(r2);
    EXPECT_EQ(u.TableName, "Mine");
    EXPECT_FALSE(u.IsActive);
    ASSERT_EQ(u.BindingCount(), 3);
    EXPECT_EQ(u.GetBinding(0), B(65, 0, 5));
    EXPECT_EQ(u.GetBinding(1), B(65, 0, 6));
    EXPECT_EQ(u.GetBinding(2), B(255, 255, 7, 255, 255));
    EXPECT_EQ(CommandListText(u), "'Mine'\nFalse\n(\n  65\n  5\n  65\n  6\n  -1\n  7\n)\n");
}

TEST(ZalCmdStream, ReadingOneTableLeavesOnlyThatTable) {
    TZalCommandProcessor p;
    ReadTableList(p, "( 'Default' True () )");
    ASSERT_EQ(p.TableCount(), 1);
    EXPECT_EQ(p.Tables(0).TableName, "Default");
    EXPECT_TRUE(p.Tables(0).IsActive);
    EXPECT_EQ(BindingsOf(p.Tables(0)), Builtin(TZalBuiltinTable::btDefault));

    ReadTableList(p, "()");
    EXPECT_EQ(p.TableCount(), 0);
}

TEST(ZalCmdStream, RepeatedNamesGetSuffixesAndStateSurvives) {
    TZalCommandProcessor p;
    p.Tables(1).IsActive = true;
    SetMessageKeyState(TKeyboardState{.Control = true});
    EXPECT_EQ(p.TranslateKeyShift('Q', ssCtrl), ccPending);
    ReadTableList(p, "( 'Mine' True ( 300 7 ) 'mine' True () 'WordStar' True () 'Default' False () )");
    ASSERT_EQ(p.TableCount(), 4);
    EXPECT_EQ(p.Tables(0).TableName, "Mine");
    EXPECT_EQ(p.Tables(1).TableName, "mine1");
    EXPECT_EQ(p.Tables(2).TableName, "WordStar");
    EXPECT_EQ(p.Tables(3).TableName, "Default");
    EXPECT_EQ(p.State(), TZalCommandProcessor::tsAwaitSecondKey);
    EXPECT_EQ(p.TranslateKeyShift('S', 0), ccHome);
}

// The naming rule said plainly: each name is checked against every name before it.
std::string PlainUniqueName(const std::vector<std::string>& taken, const std::string& name) {
    auto has = [&](const std::string& n) {
        return std::any_of(taken.begin(), taken.end(),
                           [&](const std::string& t) { return SameTextAscii(t, n); });
    };
    size_t length = name.size();
    while (length >= 2 && name[length - 1] >= '0' && name[length - 1] <= '9') --length;
    const std::string base = name.substr(0, length);
    if (!has(base) && (length == name.size() || !has(name))) return name;
    for (int n = 1;; ++n)
        if (!has(base + std::to_string(n))) return base + std::to_string(n);
}

TEST(ZalCmdStream, RepeatedNamesAreNumberedAsTheRuleSays) {
    const char* const names[] = {"Default", "DEFAULT", "default1", "Default2", "Grid7", "grid",
                                 "7",       "71",      "",         "1",        "A1b",   "x9",
                                 "X10",     "Mine",    "mine3"};
    std::mt19937 rng(7);
    std::string text = "(";
    std::vector<std::string> want;
    for (int i = 0; i < 400; ++i) {
        const std::string name = names[rng() % std::size(names)];
        text += " '" + name + "' False ()";
        want.push_back(PlainUniqueName(want, name));
    }
    TZalCommandProcessor p;
    ReadTableList(p, text + " )");
    ASSERT_EQ(p.TableCount(), 400);
    for (int i = 0; i < 400; ++i) EXPECT_EQ(p.Tables(i).TableName, want[size_t(i)]) << i;

    // Thousands of tables of one name take no longer to read than as many different ones.
    std::string many = "(";
    for (int i = 0; i < 16000; ++i) many += " '' False ()";
    ReadTableList(p, many + " )");
    ASSERT_EQ(p.TableCount(), 16000);
    EXPECT_EQ(p.Tables(0).TableName, "");
    EXPECT_EQ(p.Tables(15999).TableName, "15999");
}

// Whether the difference form can say the table: every key once, no built-in key bound
// to 0, the built-in keys in built-in order and ahead of all others.
bool DifferencesSayIt(const TZalCommandTable& t, TZalBuiltinTable which) {
    const auto builtin = BuiltinBindings(which);
    std::set<int32_t> seen;
    size_t nextBuiltin = 0;
    bool othersBegan = false;
    for (const TZalKeyBinding& b : BindingsOf(t)) {
        if (!seen.insert(b.KeySequence()).second) return false;
        const auto at = std::find_if(builtin.begin(), builtin.end(), [&](const TZalKeyBinding& d) {
            return d.KeySequence() == b.KeySequence();
        });
        if (at == builtin.end()) {
            othersBegan = true;
            continue;
        }
        const auto index = size_t(at - builtin.begin());
        if (othersBegan || b.Command == 0 || index < nextBuiltin) return false;
        nextBuiltin = index + 1;
    }
    return true;
}

bool WrittenInFull(const TZalCommandTable& t) {
    return CommandListText(t).find("(\n  (") != std::string::npos;
}

TEST(ZalCmdStream, BuiltInNamedTablesTheDifferencesCannotSayAreWrittenInFull) {
    TZalCommandProcessor p;
    p.Tables(0).AppendBinding(B(VK_LEFT, 0, ccRight)); // Left bound twice
    p.Tables(2).ClearBindings();
    p.Tables(2).AppendBinding(B(VK_LEFT, 0, 0)); // a built-in key bound to 0
    EXPECT_EQ(CommandListText(p.Tables(2)), "'Grid'\nFalse\n(\n  (\n    37\n    0\n  )\n)\n");
    TZalCommandProcessor q;
    ReadTableList(q, TableListText(p));
    EXPECT_EQ(BindingsOf(q.Tables(0)), BindingsOf(p.Tables(0)));
    EXPECT_EQ(BindingsOf(q.Tables(2)), BindingsOf(p.Tables(2)));
    EXPECT_FALSE(WrittenInFull(q.Tables(1)));
}

TEST(ZalCmdStream, EveryTableTheEditingCanMakeReadsBackAsItWas) {
    const char* const names[] = {"Default", "wordstar", "GRID", "Mine", "Default1"};
    std::vector<TZalKeyBinding> keys; // the built-in keys of all three tables and others
    for (int t = 0; t < 3; ++t)
        for (const TZalKeyBinding& b : BuiltinBindings(TZalBuiltinTable(t))) keys.push_back(b);
    for (const TZalKeyBinding& b : {B(0x41, 0, 0), B(0x51, 4, 0, 0x5A, 128), B(255, 255, 0, 255, 255)})
        keys.push_back(b);

    std::mt19937 rng(2024);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    int full = 0;
    for (int round = 0; round < 400; ++round) {
        TZalCommandProcessor p;
        for (int step = pick(10); step > 0; --step) {
            TZalCommandTable& t = p.Tables(pick(p.TableCount()));
            TZalKeyBinding b = keys[size_t(pick(int(keys.size())))];
            const int commandKind = pick(4); // 0, its own, another, any
            b.Command = commandKind == 0   ? 0
                        : commandKind == 1 ? b.Command
                        : commandKind == 2 ? keys[size_t(pick(int(keys.size())))].Command
                                           : uint16_t(1 + pick(65535));
            const int n = t.BindingCount();
            switch (pick(9)) {
            case 0: t.AppendBinding(b); break;
            case 1: t.InsertBinding(pick(n + 1), b); break;
            case 2: if (n) t.ReplaceBinding(pick(n), b); break;
            case 3: if (n) t.DeleteBinding(pick(n)); break;
            case 4: if (pick(4) == 0) t.ClearBindings(); break;
            case 5:
                try {
                    p.AddBinding(t.TableName, b);
                } catch (const EDuplicateCommand&) {
                }
                break;
            case 6: p.CreateTable(names[pick(5)], pick(2) == 0); break;
            case 7: {
                const char* name = names[pick(5)];
                const TZalCommandTable* other = p.FindTable(name);
                if (!other || other == &t) t.TableName = name;
                break;
            }
            default: t.IsActive = !t.IsActive;
            }
        }
        TZalCommandProcessor q;
        ReadTableList(q, TableListText(p));
        ASSERT_EQ(q.TableCount(), p.TableCount()) << "round " << round;
        std::vector<std::string> names; // as reading numbers them
        for (int i = 0; i < p.TableCount(); ++i) {
            const TZalCommandTable& t = p.Tables(i);
            names.push_back(PlainUniqueName(names, t.TableName));
            EXPECT_EQ(q.Tables(i).TableName, names.back()) << "round " << round;
            EXPECT_EQ(q.Tables(i).IsActive, t.IsActive) << "round " << round;
            EXPECT_EQ(BindingsOf(q.Tables(i)), BindingsOf(t)) << "round " << round << " table " << i;
            // Stored forms keep the difference form wherever it can say the table.
            const int builtin = BuiltinTableIndex(t.TableName);
            const bool inFull = builtin >= 0 && !DifferencesSayIt(t, TZalBuiltinTable(builtin));
            EXPECT_EQ(WrittenInFull(t), inFull) << "round " << round << " table " << i;
            full += inFull;
        }
        ASSERT_FALSE(HasFailure()) << "round " << round;
    }
    EXPECT_GT(full, 50); // the rounds reach both forms
}

// Reading `text` must fail with an error naming `expected` and leave the processor as it was.
void ExpectRejected(const std::string& text, const std::string& expected) {
    TZalCommandProcessor p;
    p.Tables(0).DeleteBinding(3);
    p.Tables(2).IsActive = true;
    const std::string before = TableListText(p);
    TZalValueReader r(text);
    try {
        p.ReadTableList(r);
        ADD_FAILURE() << "accepted: " << text;
    } catch (const EZalStreamError& e) {
        EXPECT_NE(std::string(e.what()).find(expected), std::string::npos)
            << text << "\n -> " << e.what();
    }
    EXPECT_EQ(TableListText(p), before) << text;
    EXPECT_EQ(p.TableCount(), 3);
}

TEST(ZalCmdStream, MalformedStreamsChangeNothing) {
    ExpectRejected("( 'Default' True ( 1114 300 )", "expected a list end, found the end");
    ExpectRejected("( 'Default' True ( 1114 300 ", "expected a list end, found the end");
    ExpectRejected("( 'Default' True ( 1114 )", "expected an integer, found a list end");
    ExpectRejected("( 'Default' True ( 'x' 1 ) )", "expected an integer, found a string");
    ExpectRejected("( 'Default' 1 () )", "expected a boolean, found an integer");
    ExpectRejected("( True True () )", "expected a string, found a boolean");
    ExpectRejected("( 'Default' True 5 )", "expected a list start, found an integer");
    ExpectRejected("'Default' True ()", "expected a list start, found a string");
    ExpectRejected("( 'A' True () 'B' True ( 1 2 ) 'C' )", "expected a boolean, found a list end");
    ExpectRejected("( 'A' True ( 4294967296 1 ) )", "key sequence out of range: 4294967296");
    ExpectRejected("( 'A' True ( 1 -2147483649 ) )", "command out of range");
    // The error names the line of the value at fault.
    ExpectRejected("(\n'x'\nTrue\n(\n1\n99999999999\n)\n)", "line 6: command out of range");
    ExpectRejected("(\n'x'\nTrue\n(\n-2147483649\n1\n)\n)", "line 5: key sequence out of range");
    ExpectRejected("( 'A' True ( 1 2 ) 'B' Maybe () )", "unknown word Maybe");
}

TEST(ZalCmdStream, MalformedCommandListLeavesTheTableAlone) {
    TZalCommandTable t;
    t.TableName = "Keep";
    t.AppendBinding(B(1, 2, 3));
    TZalValueReader r("'Default' False ( 1 2 3 )");
    EXPECT_THROW(t.ReadCommandList(r), EZalStreamError);
    EXPECT_EQ(t.TableName, "Keep");
    EXPECT_TRUE(t.IsActive);
    EXPECT_EQ(BindingsOf(t), (std::vector<TZalKeyBinding>{B(1, 2, 3)}));
}

// Remembers the last property defined.
struct RecordingFiler : TFiler {
    std::string name;
    std::function<void(TZalValueWriter&)> write;
    bool hasData = false;
    void DefineProperty(std::string_view n, const std::function<void(TZalValueReader&)>&,
                        const std::function<void(TZalValueWriter&)>& w, bool data) override {
        name = n, write = w, hasData = data;
    }
};

TEST(ZalCmdStream, PropertiesAreStoredOnlyWithData) {
    TZalCommandProcessor p;
    RecordingFiler f;
    p.DefineProperties(f);
    EXPECT_EQ(f.name, "TableList");
    EXPECT_TRUE(f.hasData);
    TZalValueWriter w;
    f.write(w);
    EXPECT_EQ(w.Text(), TableListText(p));
    p.ClearTables();
    p.DefineProperties(f);
    EXPECT_FALSE(f.hasData);

    TZalCommandTable t;
    t.DefineProperties(f);
    EXPECT_EQ(f.name, "CommandList");
    EXPECT_FALSE(f.hasData);
    t.AppendBinding(B(1, 0, 1));
    t.DefineProperties(f);
    EXPECT_TRUE(f.hasData);
}

} // namespace
