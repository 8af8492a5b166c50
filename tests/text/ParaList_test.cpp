// The paragraph list's worked cases: limits, padding, repaint range, compound edits,
// undo positions, views and bookmarks, failure paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/ParaList.h"
#include "text/TextAlloc.h"

namespace {

struct Event {
    std::string what;
    int32_t para, a, b;
    bool self;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
    return os << e.what << "(" << e.para << "," << e.a << "," << e.b << (e.self ? ",self)" : ",other)");
}

// A view that writes down what it is told.
class RecordingView : public TParaListView {
public:
    explicit RecordingView(std::vector<Event>* log = nullptr) : log_(log ? log : &own_) {}
    void AdjustForParaDeleted(int32_t para, bool self) override { add("deleted", para, 0, 0, self); }
    void AdjustForTextDeleted(int32_t para, int32_t pos, int32_t count, bool self) override {
        add("textDeleted", para, pos, count, self);
    }
    void AdjustForParaSplit(int32_t para, int32_t pos, int32_t indent, bool self) override {
        add("split", para, pos, indent, self);
    }
    void AdjustForTextInserted(int32_t para, int32_t pos, int32_t count, bool self) override {
        add("textInserted", para, pos, count, self);
    }
    void AdjustForParasJoined(int32_t para, int32_t joinPos, bool self) override {
        add("joined", para, joinPos, 0, self);
    }
    void Relayout() override { add("relayout", 0, 0, 0, true); }
    TParaListView* NextView() const override { return next; }

    std::vector<Event>& Log() { return *log_; }
    TParaListView* next = this;
    std::string name;

private:
    void add(const char* what, int32_t p, int32_t a, int32_t b, bool self) {
        log_->push_back({name + what, p, a, b, self});
    }
    std::vector<Event>* log_;
    std::vector<Event> own_;
};

std::vector<std::string> Texts(const TZalParaList& list) {
    std::vector<std::string> out;
    for (TParaNode* n = list.First(); n; n = n->Next) out.emplace_back(n->GetText(), n->Length());
    return out;
}

using Lines = std::vector<std::string>;

// A list loaded with the given lines (the empty paragraph stays last).
void Load(TZalParaList& list, const Lines& lines) {
    for (auto& l : lines) list.AddLoadedPara(l.c_str(), int(l.size()), false);
}

TEST(ParaList, FindParaOutsideTheTextLeavesTheCache) {
    TZalParaList list(nullptr, true);
    list.SetWrapColumn(4);
    Load(list, {"aaaa bbbb cccc", "dd", "ee"});
    const char* t;
    int n;
    list.GetLineText(3, t, n); // line 3 of paragraph 1
    EXPECT_EQ(std::string(t, size_t(n)), "cccc");
    EXPECT_EQ(list.FindPara(0), nullptr);
    EXPECT_EQ(list.FindPara(list.ParaCount() + 1), nullptr);
    EXPECT_EQ(list.CachedLine(), 3);
    EXPECT_EQ(list.CachedLineInPara(), 3);
    // Lines next to the cache, and far ones, are found the same.
    list.GetLineText(4, t, n);
    EXPECT_EQ(std::string(t, size_t(n)), "dd");
    EXPECT_EQ(list.CachedPara(), 2);
    list.GetLineText(2, t, n);
    EXPECT_EQ(std::string(t, size_t(n)), "bbbb ");
    EXPECT_EQ(list.GetLineText(0, t, n), nullptr);
    EXPECT_EQ(list.GetLineText(list.LineCount() + 1, t, n), nullptr);
    int offset;
    EXPECT_EQ(list.LineToPara(3, offset), 1);
    EXPECT_EQ(offset, 10);
    int col;
    EXPECT_EQ(list.ParaPosToLine(1, 11, col), 3);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(list.ParaPosToLine(99, 1, col), 6); // clamped to the last paragraph
}

TEST(ParaList, LimitsAllowOneMoreParagraphWhileTheLastIsEmpty) {
    TZalParaList list(nullptr, false);
    list.SetParaLimit(1);
    EXPECT_EQ(list.CheckLimits(0, 1, 2), ecSuccess);
    ASSERT_EQ(list.InsertTextAt(nullptr, 1, 1, "x", 1), ecSuccess);
    EXPECT_EQ(list.CheckLimits(0, 1, 2), ecParaLimit);
    // Bytes and paragraph length.
    list.SetParaLimit(kNoLimit);
    list.SetByteLimit(3);
    EXPECT_EQ(list.CheckLimits(1, 0, 2), ecSuccess);
    EXPECT_EQ(list.CheckLimits(1, 0, 3), ecTextSizeLimit);
    list.SetByteLimit(kNoLimit);
    list.SetParaLengthLimit(4);
    EXPECT_EQ(list.CheckLimits(1, 0, 3), ecSuccess);
    EXPECT_EQ(list.CheckLimits(1, 0, 4), ecParaLengthLimit);
    EXPECT_EQ(list.InsertTextAt(nullptr, 1, 4, "abcd", 1), ecParaLengthLimit);
    // Padding counts: 'x' at position 5 makes 5 characters.
    EXPECT_EQ(list.InsertTextAt(nullptr, 1, 1, "y", 5), ecParaLengthLimit);
    EXPECT_EQ(Texts(list), (Lines{"x"}));
    EXPECT_EQ(list.InsertParaBefore(nullptr, 1, 5, "abcde"), ecParaLengthLimit);
    EXPECT_EQ(list.ParaCount(), 1);
}

TEST(ParaList, InsertBeyondTheEndPadsAndRecordsThePadding) {
    RecordingView view;
    TZalParaList list(&view, false);
    Load(list, {"ab"});
    ASSERT_EQ(list.InsertTextAt(&view, 1, 1, "x", 5), ecSuccess);
    EXPECT_EQ(Texts(list)[0], "ab  x");
    EXPECT_EQ(list.ByteCount(), 5 + 2);
    EXPECT_EQ(view.Log(), (std::vector<Event>{{"textInserted", 1, 5, 1, true}}));
    EXPECT_TRUE(list.Modified());
    ASSERT_EQ(list.UndoBuffer().UndoCount(), 1);
    const TUndoRecord rec = list.UndoBuffer().TakeUndo();
    EXPECT_EQ(rec.Kind, uaInsertText);
    EXPECT_EQ(rec.Pos, 3);
    EXPECT_EQ(std::string(rec.Data, rec.Len), "  x");
}

TEST(ParaList, DeleteAndReplaceReportWhatDisappeared) {
    RecordingView view;
    TZalParaList list(&view, false);
    Load(list, {"abcd", "abcdefgh"});
    list.DeleteTextAt(&view, 1, 10, 2); // only 3 characters exist from position 2
    EXPECT_EQ(Texts(list)[0], "a");
    EXPECT_EQ(list.ByteCount(), 1 + 8 + 4);
    ASSERT_EQ(list.ReplaceTextAt(&view, 2, 1, "X", 3, 5), ecSuccess);
    EXPECT_EQ(Texts(list)[1], "abcdXh");
    ASSERT_EQ(list.ReplaceTextAt(&view, 2, 3, "123", 1, 1), ecSuccess);
    EXPECT_EQ(Texts(list)[1], "123bcdXh");
    ASSERT_EQ(list.ReplaceTextAt(&view, 2, 2, "zz", 2, 1), ecSuccess);
    EXPECT_EQ(view.Log(), (std::vector<Event>{{"textDeleted", 1, 2, 3, true},
                                              {"textDeleted", 2, 6, 2, true},
                                              {"textInserted", 2, 2, 2, true},
                                              {"textInserted", 2, 1, 0, true}}));
    EXPECT_EQ(list.ByteCount(), 1 + 8 + 4);
    // Each replacement undoes on its own and exactly.
    int32_t para;
    int pos;
    list.UndoGroup(&view, para, pos);
    EXPECT_EQ(Texts(list)[1], "123bcdXh");
    list.UndoGroup(&view, para, pos);
    EXPECT_EQ(Texts(list)[1], "abcdXh");
    list.UndoGroup(&view, para, pos);
    EXPECT_EQ(Texts(list)[1], "abcdefgh");
    EXPECT_EQ(para, 2);
    EXPECT_EQ(pos, 5);
}

TEST(ParaList, UnequalReplacementsAtTheOldEndUndoSeparately) {
    // The second replacement starts where the first one's old text ended, inside the
    // first one's new text: the two must not become one record.
    TZalParaList list(nullptr, false);
    Load(list, {"abZab"});
    ASSERT_EQ(list.ReplaceTextAt(nullptr, 1, 1, "x", 2, 1), ecSuccess);
    ASSERT_EQ(list.ReplaceTextAt(nullptr, 1, 1, "x", 2, 3), ecSuccess);
    EXPECT_EQ(Texts(list)[0], "xZx");
    int32_t para;
    int pos;
    list.UndoGroup(nullptr, para, pos);
    EXPECT_EQ(Texts(list)[0], "xZab");
    list.UndoGroup(nullptr, para, pos);
    EXPECT_EQ(Texts(list)[0], "abZab");
    list.RedoGroup(nullptr, para, pos);
    list.RedoGroup(nullptr, para, pos);
    EXPECT_EQ(Texts(list)[0], "xZx");
}

TEST(ParaList, ReplacementsThatGrowRespectTheLimits) {
    RecordingView view;
    TZalParaList list(&view, false);
    Load(list, {"abcdefgh", "xy"});
    list.SetParaLengthLimit(10);
    ASSERT_EQ(list.ReplaceTextAt(&view, 1, 3, "XYZ", 1, 1), ecSuccess); // 10: at the limit
    list.SetModified(false);
    view.Log().clear();
    EXPECT_EQ(list.ReplaceTextAt(&view, 1, 2, "12", 1, 1), ecParaLengthLimit);
    list.SetByteLimit(list.ByteCount() + 1);
    EXPECT_EQ(list.ReplaceTextAt(&view, 2, 3, "123", 1, 1), ecTextSizeLimit);
    EXPECT_EQ(Texts(list), (Lines{"XYZbcdefgh", "xy", ""}));
    EXPECT_EQ(list.UndoBuffer().UndoCount(), 1);
    EXPECT_FALSE(list.Modified());
    EXPECT_TRUE(view.Log().empty());

    // Replaying restores what was there, under whatever limits apply today.
    int32_t para;
    int pos;
    list.UndoGroup(&view, para, pos);
    list.SetParaLengthLimit(1);
    list.RedoGroup(&view, para, pos);
    EXPECT_EQ(Texts(list), (Lines{"XYZbcdefgh", "xy", ""}));
}

TEST(ParaList, ZeroBytesNeverEnterAParagraph) {
    TZalParaList list(nullptr, false);
    ASSERT_EQ(list.InsertTextAt(nullptr, 1, 3, "a\0b", 1), ecSuccess);
    ASSERT_EQ(list.ReplaceTextAt(nullptr, 1, 3, "c\0d", 0, 2), ecSuccess);
    EXPECT_EQ(Texts(list), (Lines{"ac"}));
    EXPECT_EQ(list.ByteCount(), 2);
    int32_t para = 1;
    int pos = 3;
    ASSERT_EQ(list.InsertBlock(nullptr, para, std::string_view("x\ny\0z\n", 6), pos), ecSuccess);
    EXPECT_EQ(Texts(list), (Lines{"acx", "y"}));
}

TEST(ParaList, RepaintRangeCoversTheChangedLines) {
    TZalParaList list(nullptr, false);
    Load(list, {"aa", "bbbb cc", "dd"});
    // Without wrapping a paragraph is its line.
    ASSERT_EQ(list.InsertTextAt(nullptr, 2, 1, "c", 8), ecSuccess);
    EXPECT_EQ(list.RepaintFrom(), 2);
    EXPECT_EQ(list.RepaintTo(), 2);
    list.SetWordWrap(true);
    list.SetWrapColumn(4);
    ASSERT_EQ(list.LineCount(), 5); // "aa", "bbbb ", "ccc", "dd", ""
    // Typing within paragraph 2 (lines 2 and 3) repaints only lines of it.
    ASSERT_EQ(list.InsertTextAt(nullptr, 2, 1, "c", 9), ecSuccess);
    ASSERT_EQ(list.LineCount(), 5);
    EXPECT_GE(list.RepaintFrom(), 2);
    EXPECT_LE(list.RepaintFrom(), 3);
    EXPECT_GE(list.RepaintTo(), list.RepaintFrom());
    EXPECT_LE(list.RepaintTo(), 3);
    // A new display line: everything below moves.
    ASSERT_EQ(list.InsertTextAt(nullptr, 2, 5, " eeee", 10), ecSuccess);
    EXPECT_EQ(list.LineCount(), 6);
    EXPECT_GE(list.RepaintFrom(), 2);
    EXPECT_LE(list.RepaintFrom(), 3);
    EXPECT_EQ(list.RepaintTo(), kRepaintToEnd);
}

TEST(ParaList, SettingsRewrapEveryParagraphAndRelayoutTheRing) {
    std::vector<Event> log;
    RecordingView a(&log), b(&log);
    a.name = "a.", b.name = "b.";
    a.next = &b, b.next = &a;
    TZalParaList list(&a, false);
    Load(list, {"aaaa bbbb", "\tx\ty"});
    EXPECT_EQ(list.LineCount(), 3);
    list.SetWordWrap(true);
    list.SetWrapColumn(4);
    EXPECT_EQ(list.LineCount(), 6); // "aaaa ", "bbbb"; tab, "x" + tab, "y"; ""
    EXPECT_EQ(log, (std::vector<Event>{{"a.relayout", 0, 0, 0, true},
                                       {"b.relayout", 0, 0, 0, true},
                                       {"a.relayout", 0, 0, 0, true},
                                       {"b.relayout", 0, 0, 0, true}}));
    log.clear();
    list.SetWrapColumn(4); // unchanged: nothing
    list.SetTabSize(0);    // out of range: ignored
    list.SetWrapColumn(0);
    EXPECT_TRUE(log.empty());
    list.SetTabSize(2);
    EXPECT_EQ(list.LineCount(), 5); // tab, "x", tab take 4 cells: tab x tab, "y"
    EXPECT_EQ(log.size(), 2u);
    list.SetWordWrap(false);
    log.clear();
    list.SetTabSize(4); // no wrapping: no re-layout
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(list.LineCount(), 3);
}

TEST(ParaList, RewrapAllShowsTheBusyIndicatorOnLongTexts) {
    TZalParaList list(nullptr, false);
    std::vector<bool> calls;
    list.SetBusyIndicator([&](bool busy) { calls.push_back(busy); });
    const std::string line(100, 'a');
    for (int i = 0; i < 97; ++i) list.AddLoadedPara(line.c_str(), int(line.size()), false);
    ASSERT_EQ(list.ByteCount(), 97 * 102); // 9894: not yet
    list.RewrapAll();
    EXPECT_TRUE(calls.empty());
    for (int i = 0; i < 2; ++i) list.AddLoadedPara(line.c_str(), int(line.size()), false);
    ASSERT_GT(list.ByteCount(), kBusyRewrapBytes);
    list.SetWordWrap(true);
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
    EXPECT_EQ(list.LineCount(), 99 * 2 + 1);
}

TEST(ParaList, ColumnsExpandTabs) {
    TZalParaList list(nullptr, false);
    const char* t = "a\tbc";
    EXPECT_EQ(list.PosToColumn(t, 4, 0), 1);
    EXPECT_EQ(list.PosToColumn(t, 4, 1), 1);
    EXPECT_EQ(list.PosToColumn(t, 4, 2), 2);
    EXPECT_EQ(list.PosToColumn(t, 4, 3), 9);
    EXPECT_EQ(list.PosToColumn(t, 4, 5), 11);
    EXPECT_EQ(list.PosToColumn(t, 4, 7), 13);
    EXPECT_EQ(list.ColumnToPos(t, 4, 1), 1);
    EXPECT_EQ(list.ColumnToPos(t, 4, 5), 2); // inside the tab's cells
    EXPECT_EQ(list.ColumnToPos(t, 4, 9), 3);
    EXPECT_EQ(list.ColumnToPos(t, 4, 13), 7);
    EXPECT_EQ(list.ColumnToPos("abc", 3, 7), 7);
    // A tab that ends the line still owns its cells.
    EXPECT_EQ(list.ColumnToPos("a\t", 2, 5), 2);
    EXPECT_EQ(list.ColumnToPos("a\t", 2, 9), 3);
    EXPECT_EQ(list.PosToColumn("a\t", 2, 3), 9);
}

TEST(ParaListEdits, SplitTrimsAndIndents) {
    TZalParaList list(nullptr, false);
    Load(list, {"ab  cd"});
    int indent = 7;
    ASSERT_EQ(list.SplitPara(nullptr, 1, 1, true, indent, 8), ecSuccess);
    EXPECT_EQ(Texts(list), (Lines{"", "ab  cd", ""}));
    EXPECT_EQ(indent, 7); // not used at position 1
    indent = 0;
    ASSERT_EQ(list.SplitPara(nullptr, 2, 5, true, indent, 8), ecSuccess);
    EXPECT_EQ(Texts(list), (Lines{"", "ab", "cd", ""}));
    indent = 10;
    ASSERT_EQ(list.SplitPara(nullptr, 3, 2, false, indent, 8), ecSuccess);
    EXPECT_EQ(Texts(list), (Lines{"", "ab", "c", "\t  d", ""}));
    EXPECT_EQ(indent, 3);
    indent = 3;
    ASSERT_EQ(list.SplitPara(nullptr, 2, 9, true, indent, 0), ecSuccess); // beyond the end
    EXPECT_EQ(Texts(list), (Lines{"", "ab", "   ", "c", "\t  d", ""}));
    EXPECT_EQ(indent, 3);
    EXPECT_EQ(list.ByteCount(), 2 + 3 + 1 + 4 + 5 * 2);
    EXPECT_EQ(list.SplitPara(nullptr, 9, 1, true, indent, 0), ecSuccess); // no paragraph
    EXPECT_EQ(list.ParaCount(), 6);
}

TEST(ParaListEdits, SplitUndoesToTheSplitPositionAndRedoesToTheIndent) {
    RecordingView view;
    TZalParaList list(&view, false);
    Load(list, {"hello world"});
    int indent = 4;
    ASSERT_EQ(list.SplitPara(&view, 1, 7, true, indent, 0), ecSuccess);
    EXPECT_EQ(Texts(list), (Lines{"hello", "    world", ""}));
    // One notification for the whole split, none for its steps.
    EXPECT_EQ(view.Log(), (std::vector<Event>{{"split", 1, 7, 4, true}}));
    int32_t para;
    int pos;
    list.UndoGroup(&view, para, pos);
    EXPECT_EQ(Texts(list), (Lines{"hello world", ""}));
    EXPECT_EQ(para, 1);
    EXPECT_EQ(pos, 7);
    EXPECT_FALSE(list.UndoBuffer().CanUndo());
    list.RedoGroup(&view, para, pos);
    EXPECT_EQ(Texts(list), (Lines{"hello", "    world", ""}));
    EXPECT_EQ(para, 2);
    EXPECT_EQ(pos, 5);
}

TEST(ParaListEdits, JoinAppendsTheNextParagraph) {
    RecordingView view;
    TZalParaList list(&view, false);
    Load(list, {"ab", "", "cd", "ef"});
    ASSERT_EQ(list.JoinParas(&view, 2, 1), ecSuccess); // empty paragraph: deleted
    EXPECT_EQ(Texts(list), (Lines{"ab", "cd", "ef", ""}));
    ASSERT_EQ(list.JoinParas(&view, 1, 5), ecSuccess); // beyond the end: padded
    EXPECT_EQ(Texts(list), (Lines{"ab  cd", "ef", ""}));
    EXPECT_EQ(list.JoinParas(&view, 3, 1), ecSuccess); // the last paragraph: nothing
    EXPECT_EQ(view.Log(), (std::vector<Event>{{"joined", 2, 1, 0, true}, {"joined", 1, 5, 0, true}}));
    EXPECT_EQ(list.ByteCount(), 6 + 2 + 2 * 2);
    list.SetParaLengthLimit(7);
    const uint16_t records = list.UndoBuffer().UndoCount();
    EXPECT_EQ(list.JoinParas(&view, 1, 7), ecJoinTooLong);
    EXPECT_EQ(Texts(list), (Lines{"ab  cd", "ef", ""}));
    EXPECT_EQ(list.UndoBuffer().UndoCount(), records);
    EXPECT_FALSE(list.UndoBuffer().InGroup());
    // One undo per join; the position record leads back to the join position.
    int32_t para;
    int pos;
    list.UndoGroup(&view, para, pos);
    EXPECT_EQ(Texts(list), (Lines{"ab", "cd", "ef", ""}));
    EXPECT_EQ(para, 1);
    EXPECT_EQ(pos, 3); // where the added characters (padding first) began
    list.RedoGroup(&view, para, pos);
    EXPECT_EQ(para, 1);
    EXPECT_EQ(pos, 5);
    list.UndoGroup(&view, para, pos);
    list.UndoGroup(&view, para, pos);
    EXPECT_EQ(Texts(list), (Lines{"ab", "", "cd", "ef", ""}));
}

TEST(ParaListEdits, JoinNearTheByteLimitStillWorks) {
    // Joining removes a paragraph end; it must not be refused as if it added bytes.
    TZalParaList list(nullptr, false);
    Load(list, {"abc", "def"});
    list.SetByteLimit(list.ByteCount());
    ASSERT_EQ(list.JoinParas(nullptr, 1, 4), ecSuccess);
    EXPECT_EQ(Texts(list), (Lines{"abcdef", ""}));
    int32_t para;
    int pos;
    list.UndoGroup(nullptr, para, pos); // restoring is not limited either
    EXPECT_EQ(Texts(list), (Lines{"abc", "def", ""}));
}

TEST(ParaListEdits, DeleteRangeIsWholeOrRefused) {
    RecordingView view;
    TZalParaList list(&view, false);
    Load(list, {"aaaaaaaa", "middle", "bbbbbbbb"});
    list.SetParaLengthLimit(10);
    list.SetModified(false);
    // The head and the tail would make 7 + 7 characters: refused before anything changes.
    EXPECT_EQ(list.DeleteRange(&view, 1, 8, 3, 2), ecJoinTooLong);
    EXPECT_EQ(list.DeleteRange(&view, 1, 8, 2, 2), ecJoinTooLong);
    EXPECT_EQ(Texts(list), (Lines{"aaaaaaaa", "middle", "bbbbbbbb", ""}));
    EXPECT_EQ(list.ByteCount(), 22 + 3 * 2);
    EXPECT_FALSE(list.UndoBuffer().CanUndo());
    EXPECT_FALSE(list.UndoBuffer().InGroup());
    EXPECT_FALSE(list.Modified());
    EXPECT_TRUE(view.Log().empty());

    ASSERT_EQ(list.DeleteRange(&view, 1, 3, 3, 2), ecSuccess); // 2 + 7 fit
    EXPECT_EQ(Texts(list), (Lines{"aabbbbbbb", ""}));
}

TEST(ParaListEdits, InsertBlockSplitsAtLineFeeds) {
    TZalParaList list(nullptr, false);
    int32_t para = 1;
    int pos = 1;
    ASSERT_EQ(list.InsertBlock(nullptr, para, "a\r\nb", pos), ecSuccess);
    EXPECT_EQ(Texts(list), (Lines{"a", "b"}));
    EXPECT_EQ(para, 2);
    EXPECT_EQ(pos, 2);

    TZalParaList other(nullptr, false);
    Load(other, {"abcd"});
    para = 1, pos = 3;
    ASSERT_EQ(other.InsertBlock(nullptr, para, "x\ny", pos), ecSuccess);
    EXPECT_EQ(Texts(other), (Lines{"abx", "ycd", ""}));
    EXPECT_EQ(para, 2);
    EXPECT_EQ(pos, 2);
    // A final carriage return ends a paragraph too; one inside a line is text.
    para = 1, pos = 1;
    ASSERT_EQ(other.InsertBlock(nullptr, para, "1\r2\r", pos), ecSuccess);
    EXPECT_EQ(Texts(other), (Lines{"1\r2", "abx", "ycd", ""}));
    EXPECT_EQ(other.RepaintFrom(), 1);
    EXPECT_EQ(other.RepaintTo(), kRepaintToEnd);
    // The whole block is one undo group.
    other.UndoGroup(nullptr, para, pos);
    EXPECT_EQ(Texts(other), (Lines{"abx", "ycd", ""}));
    other.UndoGroup(nullptr, para, pos);
    EXPECT_EQ(Texts(other), (Lines{"abcd", ""}));
}

TEST(ParaListEdits, InsertBlockWithoutLineBreaksIsOneInsertion) {
    TZalParaList list(nullptr, false);
    ASSERT_EQ(list.InsertTextAt(nullptr, 1, 2, "ab", 1), ecSuccess);
    int32_t para = 1;
    int pos = 3;
    ASSERT_EQ(list.InsertBlock(nullptr, para, "cd", pos), ecSuccess);
    EXPECT_EQ(pos, 5);
    // No group: it continued the typing record.
    EXPECT_EQ(list.UndoBuffer().UndoCount(), 1);
    list.UndoGroup(nullptr, para, pos);
    EXPECT_EQ(Texts(list), (Lines{""}));
}

TEST(ParaListEdits, InsertBlockStopsAtTheFirstErrorAndKeepsWhatItInserted) {
    TZalParaList list(nullptr, false);
    list.SetParaLimit(3);
    int32_t para = 1;
    int pos = 1;
    EXPECT_EQ(list.InsertBlock(nullptr, para, "a\nb\nc\nd\ne", pos), ecParaLimit);
    EXPECT_EQ(Texts(list), (Lines{"a", "b", "c", ""}));
    // Splitting inside a paragraph is limited the same way.
    TZalParaList other(nullptr, false);
    Load(other, {"xy"});
    other.SetParaLimit(3);
    para = 1, pos = 2;
    EXPECT_EQ(other.InsertBlock(nullptr, para, "1\n2\n3\n4", pos), ecParaLimit);
    EXPECT_EQ(Texts(other), (Lines{"x1", "2", "y", ""}));
    other.UndoGroup(nullptr, para, pos);
    EXPECT_EQ(Texts(other), (Lines{"xy", ""}));
}

TEST(ParaListViews, EveryViewOfTheRingHearsEachEditOnce) {
    std::vector<Event> log;
    RecordingView a(&log), b(&log), c(&log);
    a.name = "a.", b.name = "b.", c.name = "c.";
    a.next = &b, b.next = &c, c.next = &a;
    TZalParaList list(&a, false);
    Load(list, {"abc", "def"});
    ASSERT_EQ(list.InsertTextAt(&b, 1, 2, "xy", 2), ecSuccess);
    EXPECT_EQ(log, (std::vector<Event>{{"b.textInserted", 1, 2, 2, true},
                                       {"c.textInserted", 1, 2, 2, false},
                                       {"a.textInserted", 1, 2, 2, false}}));
    log.clear();
    ASSERT_EQ(list.JoinParas(&a, 1, 6), ecSuccess);
    ASSERT_EQ(list.InsertParaBefore(&a, 2, 1, "q"), ecSuccess);
    ASSERT_EQ(list.InsertParaAfter(&a, 1, 1, "r"), ecSuccess);
    list.DeletePara(&a, 3);
    list.DeleteTextAt(&a, 1, 2, 1);
    EXPECT_EQ(log, (std::vector<Event>{{"a.joined", 1, 6, 0, true},
                                       {"b.joined", 1, 6, 0, false},
                                       {"c.joined", 1, 6, 0, false},
                                       {"a.split", 2, 1, 0, true},
                                       {"b.split", 2, 1, 0, false},
                                       {"c.split", 2, 1, 0, false},
                                       {"a.split", 2, 1, 0, true},
                                       {"b.split", 2, 1, 0, false},
                                       {"c.split", 2, 1, 0, false},
                                       {"a.deleted", 3, 0, 0, true},
                                       {"b.deleted", 3, 0, 0, false},
                                       {"c.deleted", 3, 0, 0, false},
                                       {"a.textDeleted", 1, 1, 2, true},
                                       {"b.textDeleted", 1, 1, 2, false},
                                       {"c.textDeleted", 1, 1, 2, false}}));
    // Undo is told too, as the replayed steps happen.
    log.clear();
    int32_t para;
    int pos;
    list.UndoGroup(&c, para, pos);
    EXPECT_EQ(log, (std::vector<Event>{{"c.textInserted", 1, 1, 2, true},
                                       {"a.textInserted", 1, 1, 2, false},
                                       {"b.textInserted", 1, 1, 2, false}}));
}

TEST(ParaListViews, BookmarksFollowTheText) {
    TZalParaList list(nullptr, false);
    Load(list, {"0123456789", "abcdef", "ghij", "klm"});
    list.SetMarker(0, 1, 3);  // inside a deleted span
    list.SetMarker(1, 1, 9);  // after it
    list.SetMarker(2, 1, 2);  // before it
    list.SetMarker(3, 2, 4);  // moves with the split
    list.SetMarker(4, 3, 2);  // in the deleted paragraph
    list.SetMarker(5, 4, 3);  // below everything
    list.SetMarker(10, 1, 1); // no such bookmark: ignored
    list.DeleteTextAt(nullptr, 1, 4, 3);
    EXPECT_EQ(list.Marker(0), TParaPos{});
    EXPECT_EQ(list.Marker(1), (TParaPos{1, 5}));
    EXPECT_EQ(list.Marker(2), (TParaPos{1, 2}));
    ASSERT_EQ(list.InsertTextAt(nullptr, 1, 2, "xy", 2), ecSuccess);
    EXPECT_EQ(list.Marker(1), (TParaPos{1, 7}));
    EXPECT_EQ(list.Marker(2), (TParaPos{1, 4}));
    int indent = 2;
    ASSERT_EQ(list.SplitPara(nullptr, 2, 3, false, indent, 0), ecSuccess);
    EXPECT_EQ(list.Marker(3), (TParaPos{3, 4}));
    EXPECT_EQ(list.Marker(4), (TParaPos{4, 2}));
    list.DeletePara(nullptr, 4);
    EXPECT_EQ(list.Marker(4), TParaPos{});
    EXPECT_EQ(list.Marker(5), (TParaPos{4, 3}));
    ASSERT_EQ(list.JoinParas(nullptr, 2, 3), ecSuccess); // "ab" + "  cdef"
    EXPECT_EQ(list.Marker(3), (TParaPos{2, 6}));
    EXPECT_EQ(list.Marker(5), (TParaPos{3, 3}));
    ASSERT_EQ(list.InsertParaBefore(nullptr, 1, 0, ""), ecSuccess);
    EXPECT_EQ(list.Marker(2), (TParaPos{2, 4}));
    EXPECT_EQ(list.Marker(3), (TParaPos{3, 6}));
    list.SetMarker(5, 0, 0);
    EXPECT_EQ(list.Marker(5), TParaPos{});
}

TEST(ParaListViews, MarkerAtLineCountsTheCharactersBeforeTheLine) {
    TZalParaList list(nullptr, true);
    list.SetWrapColumn(4);
    Load(list, {"aaaa bbbb", "c"});
    list.SetMarkerAtLine(0, 2, 3);
    EXPECT_EQ(list.Marker(0), (TParaPos{1, 8}));
    list.SetMarkerAtLine(1, 3, 1);
    EXPECT_EQ(list.Marker(1), (TParaPos{2, 1}));
    list.SetMarkerAtLine(2, 99, 1); // no such line
    EXPECT_EQ(list.Marker(2), TParaPos{});
    list.SetMarkerAtLine(12, 1, 1);
}

TEST(ParaListViews, PositionHelpers) {
    TZalParaList list(nullptr, false);
    Load(list, {"a", "b", "c"});
    TParaPos p{2, 5};
    list.AdjustPosForParaDeleted(p, 2);
    EXPECT_EQ(p, (TParaPos{2, 1}));
    p = {3, 5};
    list.AdjustPosForParaDeleted(p, 1);
    EXPECT_EQ(p, (TParaPos{2, 5}));
    p = {9, 2};
    list.AdjustPosForParaDeleted(p, 1);
    EXPECT_EQ(p, (TParaPos{4, 2})); // limited to the paragraph count
    p = {1, 6};
    list.AdjustPosForTextDeleted(p, 1, 3, 4);
    EXPECT_EQ(p, (TParaPos{1, 4}));
    p = {1, 9};
    list.AdjustPosForTextDeleted(p, 1, 3, 4);
    EXPECT_EQ(p, (TParaPos{1, 6}));
    p = {1, 3};
    list.AdjustPosForTextDeleted(p, 1, 3, 4);
    EXPECT_EQ(p, (TParaPos{1, 3}));
    p = {2, 9};
    list.AdjustPosForTextDeleted(p, 1, 3, 4);
    EXPECT_EQ(p, (TParaPos{2, 9}));
}

// --- paragraphs held by the history, failures --------------------------------------

TEST(ParaListOwnership, DeletedLastParagraphComesBackAtTheEnd) {
    TZalParaList list(nullptr, true);
    list.SetWrapColumn(4);
    Load(list, {"aa", "bbbb cccc dddd"});
    list.DeletePara(nullptr, 3); // the empty last one
    list.DeletePara(nullptr, 2); // now the last, three lines
    EXPECT_EQ(list.LineCount(), 1);
    int32_t para;
    int pos;
    list.UndoGroup(nullptr, para, pos);
    EXPECT_EQ(Texts(list), (Lines{"aa", "bbbb cccc dddd"}));
    EXPECT_EQ(list.Last()->Length(), 14);
    EXPECT_EQ(list.CachedPara(), 2);
    EXPECT_EQ(list.CachedLine(), 2);
    EXPECT_EQ(list.LineCount(), 4);
}

TEST(ParaListFailures, ReplacementWithoutMemoryLeavesNoRecord) {
    TZalParaList list(nullptr, false);
    Load(list, {"abcdefg"}); // a buffer of 8 bytes: full
    const uint16_t records = list.UndoBuffer().UndoCount();
    TextAllocFailures(0, 1);
    EXPECT_EQ(list.ReplaceTextAt(nullptr, 1, 4, "wxyz", 1, 2), ecOutOfMemory);
    TextAllocFailures(0, 0);
    EXPECT_EQ(Texts(list)[0], "abcdefg");
    EXPECT_EQ(list.UndoBuffer().UndoCount(), records);
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(list.ReplaceTextAt(nullptr, 1, 4, "wxyz", 1, 2), ecSuccess);
    EXPECT_EQ(Texts(list)[0], "awxyzcdefg");
}

TEST(ParaListFailures, ParagraphWithoutMemoryChangesNothing) {
    RecordingView view;
    TZalParaList list(&view, false);
    Load(list, {"hello world"});
    TextAllocFailures(0, 1);
    EXPECT_THROW(list.InsertParaBefore(&view, 1, 3, "abc"), ETextOutOfMemory);
    TextAllocFailures(0, 1);
    int indent = 0;
    EXPECT_THROW(list.SplitPara(&view, 1, 6, true, indent, 0), ETextOutOfMemory);
    TextAllocFailures(0, 0);
    EXPECT_EQ(Texts(list), (Lines{"hello world", ""}));
    EXPECT_EQ(list.ByteCount(), 13);
    EXPECT_TRUE(list.NotifyViews());
    EXPECT_FALSE(list.UndoBuffer().InGroup());
    EXPECT_TRUE(view.Log().empty());
    // Memory for the indentation only: the split stands without it.
    TZalParaList probe(nullptr, false);
    Load(probe, {"hello world"});
    indent = 4;
    const long before = TextAllocCount();
    ASSERT_EQ(probe.SplitPara(nullptr, 1, 7, true, indent, 0), ecSuccess);
    const long used = TextAllocCount() - before;
    ASSERT_GT(used, 0);
    indent = 4;
    TextAllocFailures(int(used - 1), 1);
    ASSERT_EQ(list.SplitPara(&view, 1, 7, true, indent, 0), ecSuccess);
    TextAllocFailures(0, 0);
    EXPECT_EQ(Texts(list), (Lines{"hello", "world", ""}));
    EXPECT_EQ(indent, 0);
    EXPECT_EQ(view.Log(), (std::vector<Event>{{"split", 1, 7, 0, true}}));
}

} // namespace
