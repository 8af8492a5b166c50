#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "text/ParaNode.h"
#include "text/UndoBuffer.h"

namespace {

constexpr int kOver = TUndoNode::kOverhead;

uint32_t Le(const uint8_t* p, int width) {
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

bool Add(TZalUndoBuffer& b, TUndoAction kind, const std::string& s, int32_t pos, int32_t para = 1) {
    return b.AddRecord(kind, false, uint16_t(s.size()), s.data(), pos, para);
}

std::string DataOf(const TUndoRecord& r) { return std::string(r.Data, r.Len); }

TParaNode* NewNode(const std::string& text) {
    return new TParaNode(text.c_str(), uint16_t(text.size()), 0, 8);
}

} // namespace

TEST(UndoBuffer, TypingDeletingAndOverwritingExtendTheNewestRecord) {
    TZalUndoBuffer b(8192);
    Add(b, uaInsertText, "a", 1);
    Add(b, uaInsertText, "b", 2);
    Add(b, uaInsertText, "c", 3);
    EXPECT_EQ(b.UndoCount(), 1);
    EXPECT_EQ(b.FreeBytes(), 8192 - (3 + kOver));
    // Backspaces over "xyz" at positions 12, 11, 10 of paragraph 2.
    Add(b, uaDeleteText, "z", 12, 2);
    Add(b, uaDeleteText, "y", 11, 2);
    Add(b, uaDeleteText, "x", 10, 2);
    // Forward deletions at one place; then overwriting.
    Add(b, uaDeleteText, "p", 4, 3);
    Add(b, uaDeleteText, "q", 4, 3);
    b.AddReplaceRecord(false, 3, 4, "m", 1, "M", 1);
    b.AddReplaceRecord(false, 3, 5, "no", 2, "N", 1);
    b.AddReplaceRecord(false, 3, 7, "", 0, "O", 1); // overwriting past the end
    ASSERT_EQ(b.UndoCount(), 4);

    TUndoRecord r = b.TakeUndo();
    EXPECT_EQ(r.Kind, uaReplaceText);
    EXPECT_EQ(DataOf(r), std::string("mno\0MNO\0", 8));
    r = b.TakeUndo();
    EXPECT_EQ(DataOf(r), "pq");
    EXPECT_EQ(r.Pos, 4);
    r = b.TakeUndo();
    EXPECT_EQ(r.Kind, uaDeleteText);
    EXPECT_EQ(DataOf(r), "xyz"); // text order, leftmost position
    EXPECT_EQ(r.Pos, 10);
    r = b.TakeUndo();
    EXPECT_EQ(DataOf(r), "abc");
    EXPECT_EQ(b.FreeBytes(), 8192);

    // No merge inside a group, across paragraphs or when the place does not continue.
    TZalUndoBuffer g(8192);
    bool saved;
    g.BeginGroup(saved);
    Add(g, uaInsertText, "a", 1);
    Add(g, uaInsertText, "b", 2);
    g.EndGroup(saved);
    Add(g, uaInsertText, "c", 3);     // continues the closed group's last record
    Add(g, uaInsertText, "d", 4, 2);  // another paragraph
    Add(g, uaInsertText, "e", 9, 2);  // a jump
    Add(g, uaDeleteText, "f", 9, 2);  // another kind
    EXPECT_EQ(g.UndoCount(), 5);
    EXPECT_EQ(g.GroupCounter(), 4);
}

TEST(UndoBuffer, RecordLayoutInTheBlock) {
    TZalUndoBuffer b(8192);
    b.AddRecord(uaInsertText, true, 3, "abc", 0x01020304, 0x0A0B0C0D);
    b.AddReplaceRecord(false, 7, 2, "x", 1, "yz", 2);
    const uint8_t* p = b.Block();
    const uint8_t first[] = {0, 0, 0x81, 1, 0x0D, 0x0C, 0x0B, 0x0A, 4, 3, 2, 1, 3, 0, 'a', 'b', 'c'};
    EXPECT_EQ(std::memcmp(p, first, sizeof first), 0);
    const uint8_t second[] = {19, 0, 6, 2, 7, 0, 0, 0, 2, 0, 0, 0, 5, 0, 'x', 0, 'y', 'z', 0};
    EXPECT_EQ(std::memcmp(p + 19, second, sizeof second), 0);
    EXPECT_EQ(b.FreeBytes(), 8192 - 19 - 21);

    // A paragraph record is charged 4 data bytes whatever the pointer width.
    TParaNode* node = NewNode("para");
    ASSERT_TRUE(b.AddParaRecord(uaDeletePara, false, node, 1, 5));
    EXPECT_EQ(Le(p + 40, 2), 21u);
    EXPECT_EQ(p[40 + 2], uaDeletePara);
    EXPECT_EQ(Le(p + 40 + 12, 2), 4u);
    EXPECT_EQ(b.FreeBytes(), 8192 - 19 - 21 - 20);
    TUndoRecord r = b.TakeUndo();
    EXPECT_EQ(r.Node, node);
    EXPECT_EQ(r.Len, 4);
    delete r.Node; // undone: the paragraph is back with the caller
}

TEST(UndoBuffer, MakingRoomDropsWholeOldestGroups) {
    TZalUndoBuffer b(8192);
    std::string d84(84, 'd'); // 100 bytes a record
    bool saved;
    int para = 0;
    // 26 groups of three records, then groups of one, until 100 bytes are free.
    for (int g = 0; g < 26; ++g) {
        b.BeginGroup(saved);
        for (int i = 0; i < 3; ++i) Add(b, uaInsertText, d84, 1, ++para);
        b.EndGroup(saved);
    }
    while (b.FreeBytes() > 192) Add(b, uaInsertText, d84, 1, ++para);
    Add(b, uaInsertText, std::string(b.FreeBytes() - 100 - kOver, 'e'), 1, ++para);
    ASSERT_EQ(b.FreeBytes(), 100);
    int before = b.UndoCount();

    ASSERT_TRUE(Add(b, uaInsertText, std::string(200 - kOver, 'n'), 1, ++para));
    // Two groups of 300 bytes go: 700 free, 500 after the new record.
    EXPECT_EQ(b.FreeBytes(), 500);
    EXPECT_EQ(b.UndoCount(), before - 6 + 1);
    EXPECT_EQ(Le(b.Block(), 2), 0u);
    for (int expected = para; b.CanUndo(); --expected) {
        TUndoRecord r = b.TakeUndo();
        ASSERT_EQ(r.Para, expected);
    }
    EXPECT_EQ(b.RedoCount(), before - 6 + 1);
    // After undoing, any new record gives the redo history up.
    Add(b, uaPosition, "", 1);
    EXPECT_EQ(b.RedoCount(), 0);
    EXPECT_EQ(b.FreeBytes(), 8192 - kOver);
}

TEST(UndoBuffer, OversizedRecordsAndEmptiedHistoryInAGroup) {
    TZalUndoBuffer b(8192);
    Add(b, uaInsertText, "abc", 1);
    EXPECT_TRUE(Add(b, uaDeleteText, std::string(8176, 'x'), 1, 2)); // exactly the block
    EXPECT_EQ(b.FreeBytes(), 0);
    EXPECT_FALSE(Add(b, uaDeleteText, std::string(8177, 'x'), 1, 3));
    EXPECT_EQ(b.UndoCount(), 0);
    EXPECT_EQ(b.FreeBytes(), 8192);
    EXPECT_FALSE(b.Refusing());
    EXPECT_TRUE(Add(b, uaInsertText, "a", 1));

    bool outer, inner;
    b.BeginGroup(outer);
    Add(b, uaInsertText, "a", 5);
    EXPECT_FALSE(Add(b, uaDeleteText, std::string(9000, 'x'), 1));
    EXPECT_TRUE(b.Refusing());
    b.BeginGroup(inner);
    EXPECT_FALSE(Add(b, uaInsertText, "b", 1));
    b.EndGroup(inner);
    EXPECT_FALSE(Add(b, uaInsertText, "c", 1)); // still refused until the outermost end
    b.EndGroup(outer);
    EXPECT_FALSE(b.Refusing());
    EXPECT_TRUE(Add(b, uaInsertText, "d", 1));
    EXPECT_EQ(b.UndoCount(), 1);

    // A group that outgrows a small block loses its beginning: the rest is refused.
    TZalUndoBuffer s(200);
    s.BeginGroup(outer);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(Add(s, uaInsertText, std::string(34, 'g'), 1, i + 1));
    EXPECT_FALSE(Add(s, uaInsertText, std::string(34, 'h'), 1, 9));
    EXPECT_EQ(s.UndoCount(), 0);
    EXPECT_TRUE(s.Refusing());
    s.EndGroup(outer);
    // Outside a group the record that empties the history is kept, in group 0 again.
    EXPECT_TRUE(Add(s, uaInsertText, std::string(100, 'i'), 1, 1));
    EXPECT_TRUE(Add(s, uaInsertText, std::string(100, 'j'), 1, 2));
    EXPECT_EQ(s.UndoCount(), 1);
    EXPECT_EQ(s.UndoGroupId(), 0);
    // Typing that can only continue by emptying the history reports the loss.
    EXPECT_FALSE(Add(s, uaInsertText, std::string(90, 'k'), 101, 2));
    EXPECT_EQ(s.UndoCount(), 0);
}

TEST(UndoBuffer, TakingUndoAndRedoKeepsTheAccounts) {
    TZalUndoBuffer b(1000);
    EXPECT_EQ(b.UndoGroupId(), 0xFF); // nothing recorded: complement of a zero block
    b.AddRecord(uaInsertText, false, 2, "ab", 1, 1);
    b.AddRecord(uaDeleteText, true, 1, "z", 9, 4);
    EXPECT_EQ(b.UndoGroupId(), 2);
    EXPECT_EQ(b.RedoGroupId(), uint8_t(~2));
    TUndoRecord r = b.TakeUndo();
    EXPECT_TRUE(r.Modified);
    EXPECT_EQ(b.FreeBytes(), 1000 - 18);
    EXPECT_EQ(b.RedoGroupId(), 2);
    r = b.TakeUndo();
    EXPECT_EQ(b.UndoGroupId(), uint8_t(~1));
    EXPECT_EQ(b.UndoCount() + b.RedoCount(), 2);
    EXPECT_EQ(b.FreeBytes(), 1000);
    r = b.TakeRedo(true);
    EXPECT_TRUE(r.Modified);
    EXPECT_EQ(DataOf(r), "ab");
    EXPECT_EQ(b.FreeBytes(), 1000 - 18);
    r = b.TakeRedo(false);
    EXPECT_FALSE(r.Modified);
    EXPECT_EQ(r.Para, 4);
    EXPECT_EQ(b.Block()[18 + 2], uaDeleteText); // the flag stored on redo
    EXPECT_EQ(b.RedoGroupId(), uint8_t(~2));
    EXPECT_FALSE(b.CanRedo());
    EXPECT_EQ(b.TakeRedo(true).Len, 0); // nothing to redo changes nothing
    EXPECT_EQ(b.UndoCount(), 2);

    b.TakeUndo();
    b.MarkAllModified();
    EXPECT_TRUE(b.TakeUndo().Modified);
    EXPECT_FALSE(b.TakeRedo(false).Modified);
    EXPECT_TRUE(b.Block()[18 + 2] & 0x80); // the redo record was marked too
}

TEST(UndoBuffer, GroupIdsWrapAndNeighboursDiffer) {
    TZalUndoBuffer b(8192);
    bool saved;
    for (int g = 1; g <= 257; ++g) {
        b.BeginGroup(saved);
        b.AddRecord(uaPosition, false, 0, nullptr, 1, g);
        b.EndGroup(saved);
        EXPECT_EQ(b.UndoGroupId(), uint8_t(g));
    }
    // 256 groups that record nothing must not bring the newest id back.
    for (int g = 0; g < 256; ++g) {
        b.BeginGroup(saved);
        b.EndGroup(saved);
    }
    b.AddRecord(uaPosition, false, 0, nullptr, 1, 999);
    EXPECT_NE(b.UndoGroupId(), 1);
    b.TakeUndo();
    EXPECT_EQ(b.UndoGroupId(), 1);
    b.DiscardAll();
    EXPECT_EQ(b.GroupCounter(), 0);
}

namespace {
uint16_t g_limit = 0;
std::vector<size_t> g_requests;
void* LimitedAlloc(size_t n) {
    g_requests.push_back(n);
    return n <= g_limit ? std::malloc(n) : nullptr;
}
} // namespace

TEST(UndoBuffer, CreateHalvesTheRequestUntilMemoryIsFound) {
    g_limit = 1000;
    g_requests.clear();
    {
        TZalUndoBuffer b(8192, LimitedAlloc);
        EXPECT_EQ(b.Size(), 512);
        EXPECT_EQ(b.FreeBytes(), 512);
        EXPECT_EQ(g_requests, (std::vector<size_t>{8192, 4096, 2048, 1024, 512}));
    }
    g_limit = 0;
    g_requests.clear();
    TZalUndoBuffer none(100, LimitedAlloc);
    EXPECT_EQ(g_requests, (std::vector<size_t>{100, 50, 25, 13}));
    EXPECT_EQ(none.Size(), 0);
    EXPECT_FALSE(Add(none, uaPosition, "", 1));
    TParaNode* node = NewNode("kept");
    EXPECT_FALSE(none.AddParaRecord(uaDeletePara, false, node, 1, 1));
    delete node; // refused: still the caller's
    none.TakeUndo();
    none.TakeRedo(false);
    none.MarkAllModified();
    EXPECT_EQ(none.UndoGroupId(), 0xFF);
    EXPECT_EQ(TZalUndoBuffer(0).Size(), 0);
}

TEST(UndoBuffer, ParagraphsAreReleasedByTheirOwner) {
    // Under AddressSanitizer a leak or a second delete fails the run.
    std::vector<TParaNode*> listOwned;
    {
        TZalUndoBuffer b(8192);
        b.AddParaRecord(uaDeletePara, false, NewNode("deleted, kept by the record"), 1, 1);
        TParaNode* inserted = NewNode("inserted");
        listOwned.push_back(inserted);
        b.AddParaRecord(uaInsertPara, false, inserted, 1, 2);
        TUndoRecord r = b.TakeUndo(); // the record holds the inserted paragraph now
        EXPECT_EQ(r.Node, inserted);
        listOwned.pop_back();
        Add(b, uaPosition, "", 1); // the redo record goes, and its paragraph with it
        TParaNode* after = NewNode("after");
        b.AddParaRecord(uaInsertParaAfter, false, after, 1, 3);
        b.TakeUndo();
        EXPECT_EQ(b.TakeRedo(false).Node, after); // back in the text
        listOwned.push_back(after);
        b.AddParaRecord(uaDeletePara, false, NewNode("undone"), 1, 4);
        r = b.TakeUndo();
        listOwned.push_back(r.Node);
        EXPECT_STREQ(r.Node->GetText(), "undone");
        b.AddParaRecord(uaInsertPara, false, NewNode("redo side at the end"), 1, 5);
        b.TakeUndo();
        // The destructor releases the first record's paragraph and the redo record's.
    }
    for (TParaNode* n : listOwned) delete n;
}
