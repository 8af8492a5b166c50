// The stream forms "CommandList" and "TableList" of the command tables.
#include "CmdTestUtil.h"
#include "components/ZalCmd.h"

#include <gtest/gtest.h>

#include <functional>

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
