#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
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
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

bool Add(TZalUndoBuffer& b, TUndoAction kind, const std::string& s, int32_t pos, int32_t para = 1) {
    return b.AddRecord(kind, false, uint16_t(s.size()), s.data(), pos, para);
}

std::string DataOf(const TUndoRecord& r) {
    return std::string(r.Data, r.Len);
}

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
    // Overwriting past the end goes on right after the new text "MN", at 6.
    EXPECT_TRUE(b.AddReplaceRecord(false, 3, 6, "", 0, "O", 1));
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
}

TEST(UndoBuffer, RecordLayoutInTheBlock) {
    TZalUndoBuffer b(8192);
    b.AddRecord(uaInsertText, true, 3, "abc", 0x01020304, 0x0A0B0C0D);
    b.AddReplaceRecord(false, 7, 2, "x", 1, "yz", 2);
    const uint8_t* p = b.Block();
    const uint8_t first[] = {0, 0, 0x81, 1, 0x0D, 0x0C, 0x0B, 0x0A, 4,
                             3, 2, 1,    3, 0,    'a',  'b',  'c'};
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
        for (int i = 0; i < 3; ++i)
            Add(b, uaInsertText, d84, 1, ++para);
        b.EndGroup(saved);
    }
    while (b.FreeBytes() > 192)
        Add(b, uaInsertText, d84, 1, ++para);
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
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Add(s, uaInsertText, std::string(34, 'g'), 1, i + 1));
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

TEST(UndoBuffer, MarkAllModifiedReachesUndoAndRedoRecords) {
    TZalUndoBuffer b(1000);
    Add(b, uaInsertText, "ab", 1);
    Add(b, uaDeleteText, "z", 9, 4);
    b.TakeUndo();
    b.MarkAllModified();
    EXPECT_TRUE(b.TakeUndo().Modified);
    EXPECT_EQ(b.Block()[18 + 2], 0x80 | uaDeleteText); // the redo record as well
    EXPECT_FALSE(b.TakeRedo(false).Modified);          // redone: the flag of that moment
    EXPECT_TRUE(b.TakeRedo(true).Modified);
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
    // Groups that record nothing must not bring the newest id back for the next record.
    for (int g = 0; g < 255; ++g) {
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

// --- Random sequences against a plain model ---------------------------------------------

namespace {

struct ModelRecord {
    TUndoAction kind;
    uint8_t group;
    bool modified;
    int32_t para, pos;
    std::string data; // for replace records: old, 0, new, 0
    TParaNode* node;
    int action; // the user action (outermost group or lone record) it belongs to
};

bool HoldsPara(TUndoAction k) {
    return k == uaInsertPara || k == uaInsertParaAfter || k == uaDeletePara;
}
size_t Bytes(const ModelRecord& r) {
    return (HoldsPara(r.kind) ? 4 : r.data.size()) + kOver;
}

// The history as a list of records; undo records first, then redo records.
struct Model {
    uint32_t size = 0;
    std::deque<ModelRecord> recs;
    size_t undo = 0;
    uint8_t counter = 0;
    bool inGroup = false, refusing = false;
    int action = 0;

    uint32_t Free() const {
        uint32_t used = 0;
        for (size_t i = 0; i < undo; ++i)
            used += uint32_t(Bytes(recs[i]));
        return size - used;
    }
    void NextGroup() {
        ++counter;
        if (undo && recs[undo - 1].group == counter) ++counter;
    }
    void DiscardAll() {
        recs.clear();
        undo = 0;
        counter = 0;
    }
    bool MakeRoom(uint32_t n) {
        if (refusing) return false;
        if (size < n) {
            DiscardAll();
            refusing = inGroup;
            return false;
        }
        if (Free() >= n) return true;
        uint32_t target = std::max(size / 16, n);
        recs.resize(undo);
        while (Free() < target && undo) {
            uint8_t g = recs.front().group;
            while (undo && recs.front().group == g) {
                recs.pop_front();
                --undo;
            }
        }
        if (undo == 0) {
            DiscardAll();
            refusing = inGroup;
            return !inGroup;
        }
        return true;
    }
    // Extends the newest record when the action continues it: 1 extended, 0 lost or
    // refused, -1 when it does not continue the record.
    int TryMerge(TUndoAction kind, const std::string& add, const std::string& addNew, int32_t pos,
                 int32_t para) {
        if (inGroup || !undo) return -1;
        ModelRecord& r = recs[undo - 1];
        if (r.kind != kind || r.para != para) return -1;
        size_t oldLen = r.data.find('\0');
        bool append = (kind == uaInsertText && pos == int64_t(r.pos) + int64_t(r.data.size())) ||
                      (kind == uaDeleteText && pos == r.pos);
        bool prepend = kind == uaDeleteText && int64_t(pos) + int64_t(add.size()) == r.pos;
        size_t newLen = r.data.size() - oldLen - 2;
        bool replace = kind == uaReplaceText && pos == int64_t(r.pos) + int64_t(newLen);
        if (!append && !prepend && !replace) return -1;
        recs.resize(undo);
        if (!MakeRoom(uint32_t(add.size() + addNew.size())) || !undo) return 0;
        ModelRecord& m = recs[undo - 1];
        if (append) m.data += add;
        if (prepend) {
            m.data = add + m.data;
            m.pos -= int32_t(add.size());
        }
        if (replace) {
            size_t a = m.data.find('\0');
            std::string o = m.data.substr(0, a), w = m.data.substr(a + 1, m.data.size() - a - 2);
            m.data = o + add + '\0' + w + addNew + '\0';
        }
        return 1;
    }
    bool Add(ModelRecord r) {
        if (!inGroup) {
            NextGroup();
            ++action;
        }
        if (!MakeRoom(uint32_t(Bytes(r)))) return false;
        recs.resize(undo);
        r.group = counter;
        r.action = action;
        recs.push_back(r);
        ++undo;
        return true;
    }
};

std::string RandomText(std::mt19937& rng, size_t n) {
    std::string s(n, ' ');
    for (char& c : s)
        c = char('a' + rng() % 26);
    return s;
}

void CheckAgainstModel(const TZalUndoBuffer& b, const Model& m, bool walk) {
    ASSERT_EQ(b.FreeBytes(), m.Free());
    ASSERT_EQ(b.UndoCount(), m.undo);
    ASSERT_EQ(size_t(b.RedoCount()), m.recs.size() - m.undo);
    ASSERT_EQ(b.GroupCounter(), m.counter);
    ASSERT_EQ(b.InGroup(), m.inGroup);
    ASSERT_EQ(b.Refusing(), m.refusing);
    uint32_t ofs = 0;
    for (size_t i = 0; walk && i < m.recs.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        const ModelRecord& r = m.recs[i];
        ASSERT_LE(ofs + Bytes(r), b.Size());
        const uint8_t* p = b.Block() + ofs;
        ASSERT_EQ(Le(p, 2), i ? Bytes(m.recs[i - 1]) : 0u);
        ASSERT_EQ(p[2], r.kind | (r.modified ? 0x80 : 0));
        ASSERT_EQ(p[3], r.group);
        ASSERT_EQ(int32_t(Le(p + 4, 4)), r.para);
        ASSERT_EQ(int32_t(Le(p + 8, 4)), r.pos);
        ASSERT_EQ(Le(p + 12, 2) + size_t(kOver), Bytes(r));
        if (!HoldsPara(r.kind)) {
            ASSERT_EQ(std::memcmp(p + 14, r.data.data(), r.data.size()), 0);
        }
        // One action keeps one group id; neighbouring actions never share one.
        if (i) {
            ASSERT_EQ(r.group == m.recs[i - 1].group, r.action == m.recs[i - 1].action);
        }
        ofs += uint32_t(Bytes(r));
    }
    if (m.undo) {
        ASSERT_EQ(b.UndoGroupId(), m.recs[m.undo - 1].group);
    } else if (!m.recs.empty()) {
        ASSERT_EQ(b.UndoGroupId(), uint8_t(~m.recs[0].group));
    }
    if (m.undo < m.recs.size()) {
        ASSERT_EQ(b.RedoGroupId(), m.recs[m.undo].group);
    } else if (m.undo) {
        ASSERT_EQ(b.RedoGroupId(), uint8_t(~m.recs[m.undo - 1].group));
    }
}

void ExpectTaken(const TUndoRecord& got, const ModelRecord& want) {
    ASSERT_EQ(got.Kind, want.kind);
    ASSERT_EQ(got.Group, want.group);
    ASSERT_EQ(got.Modified, want.modified);
    ASSERT_EQ(got.Para, want.para);
    ASSERT_EQ(got.Pos, want.pos);
    ASSERT_EQ(got.Node, want.node);
    if (!HoldsPara(want.kind)) {
        ASSERT_EQ(DataOf(got), want.data);
    }
}

} // namespace

TEST(UndoBuffer, RandomSequencesMatchAPlainModel) {
    const uint16_t sizes[] = {0, 30, 100, 300, 1000, 8192, 8192, 65535};
    for (uint32_t seed = 1; seed <= 16; ++seed) {
        std::mt19937 rng(seed);
        uint16_t size = sizes[seed % 8];
        bool calm = seed > 8; // no emptying of the whole history: group ids wrap
        TZalUndoBuffer b(size);
        Model m;
        m.size = b.Size();
        ASSERT_EQ(b.Size(), size);
        std::set<TParaNode*> listOwned; // paragraphs in the simulated text
        std::map<TParaNode*, std::string> texts;
        std::vector<bool> saved;
        int32_t para = 1, pos = 1; // where the last typing went
        for (int step = 0, steps = calm ? 3000 : 1200; step < steps; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            int op = int(rng() % 100);
            bool modified = rng() % 2;
            if (op < 40) { // typing, deleting and overwriting, mostly continuing
                bool jump = rng() % 6 == 0;
                if (jump) {
                    para = int32_t(rng() % 4);
                    pos = int32_t(1 + rng() % 30);
                }
                size_t n = rng() % 10 ? 1 + rng() % 3 : rng() % 300;
                if (!calm && rng() % 150 == 0 && b.Size() > 17) {
                    n = b.Size() - 17 + rng() % 4; // about the whole block
                }
                std::string s = RandomText(rng, n);
                TUndoAction kind = op < 15 ? uaInsertText : uaDeleteText;
                if (op >= 30) { // overwriting
                    std::string w = RandomText(rng, rng() % 3);
                    int merged = m.TryMerge(uaReplaceText, s, w, pos, para);
                    bool stored = b.AddReplaceRecord(modified, para, pos, s.data(), uint16_t(n),
                                                     w.data(), uint16_t(w.size()));
                    if (merged < 0)
                        merged = m.Add({uaReplaceText, 0, modified, para, pos, s + '\0' + w + '\0',
                                        nullptr, 0});
                    ASSERT_EQ(stored, merged == 1);
                    pos += int32_t(n);
                } else {
                    bool backspace = kind == uaDeleteText && op < 23;
                    int32_t at = backspace ? pos - int32_t(n) : pos;
                    int merged = m.TryMerge(kind, s, "", at, para);
                    bool stored = b.AddRecord(kind, modified, uint16_t(n), s.data(), at, para);
                    if (merged < 0) merged = m.Add({kind, 0, modified, para, at, s, nullptr, 0});
                    ASSERT_EQ(stored, merged == 1);
                    if (kind == uaInsertText) pos += int32_t(n);
                    if (backspace) pos = at;
                }
            } else if (op < 45) {
                bool stored = b.AddRecord(uaPosition, modified, 0, nullptr, pos, para);
                ASSERT_EQ(stored, m.Add({uaPosition, 0, modified, para, pos, "", nullptr, 0}));
            } else if (op < 55) { // paragraph records hold real nodes
                const TUndoAction kinds[] = {uaInsertPara, uaInsertParaAfter, uaDeletePara};
                TUndoAction kind = kinds[rng() % 3];
                std::string text = RandomText(rng, rng() % 20);
                TParaNode* node = NewNode(text);
                texts[node] = text;
                bool stored = b.AddParaRecord(kind, modified, node, 1, para);
                ASSERT_EQ(stored, m.Add({kind, 0, modified, para, 1, "", node, 0}));
                if (kind != uaDeletePara)
                    listOwned.insert(node); // it is in the text
                else if (!stored)
                    delete node; // refused: still ours
            } else if (op < 63 && saved.size() < 3) {
                bool s;
                b.BeginGroup(s);
                saved.push_back(s);
                if (!m.inGroup) {
                    m.inGroup = true;
                    m.NextGroup();
                    ++m.action;
                }
            } else if (op < 71) {
                if (saved.empty()) continue;
                b.EndGroup(saved.back());
                m.inGroup = saved.back();
                if (!saved.back()) m.refusing = false;
                saved.pop_back();
            } else if (op < 83 && saved.empty()) {
                for (int k = int(rng() % 6); k > 0 && m.undo; --k) {
                    ModelRecord& r = m.recs[--m.undo];
                    ASSERT_NO_FATAL_FAILURE(ExpectTaken(b.TakeUndo(), r));
                    if (r.kind == uaDeletePara)
                        listOwned.insert(r.node);
                    else if (r.node)
                        listOwned.erase(r.node);
                }
            } else if (op < 95 && saved.empty()) {
                for (int k = int(rng() % 6); k > 0 && m.undo < m.recs.size(); --k) {
                    bool now = rng() % 2;
                    ModelRecord& r = m.recs[m.undo++];
                    r.modified = now;
                    ASSERT_NO_FATAL_FAILURE(ExpectTaken(b.TakeRedo(now), r));
                    if (r.kind == uaDeletePara)
                        listOwned.erase(r.node);
                    else if (r.node)
                        listOwned.insert(r.node);
                }
            } else if (op < 98) {
                b.MarkAllModified();
                for (ModelRecord& r : m.recs)
                    r.modified = true;
            } else if (!calm && saved.empty() && rng() % 8 == 0) {
                b.DiscardAll();
                m.DiscardAll();
            }
            // Reading the whole block back each step costs too much for long histories.
            ASSERT_NO_FATAL_FAILURE(CheckAgainstModel(b, m, m.recs.size() < 300 || step % 16 == 0));
        }
        // The text's own paragraphs are still alive; the buffer releases the rest.
        for (TParaNode* n : listOwned) {
            EXPECT_EQ(n->GetText(), texts[n]);
            delete n;
        }
    }
}

TEST(UndoBuffer, ReplacementOfOtherLengthExtendsOnlyAfterItsNewText) {
    // "ab" at 1 became "x": what followed "ab" now starts at 2, not at 3.
    TZalUndoBuffer b(8192);
    ASSERT_TRUE(b.AddReplaceRecord(false, 1, 1, "ab", 2, "x", 1));
    ASSERT_TRUE(b.AddReplaceRecord(false, 1, 3, "ab", 2, "x", 1));
    EXPECT_EQ(b.UndoCount(), 2); // position 3 lies inside the text after "x": no merge
    ASSERT_TRUE(b.AddReplaceRecord(false, 1, 4, "cd", 2, "y", 1));
    EXPECT_EQ(b.UndoCount(), 2); // 3 + 1: continues the second record
    TUndoRecord r = b.TakeUndo();
    EXPECT_EQ(r.Pos, 3);
    EXPECT_EQ(DataOf(r), std::string("abcd\0xy\0", 8));
}
