// The editing commands against a plain model of their rules: random command sequences
// (typing in both modes, deletions, Enter with auto-indent, the three tabs, clipboard,
// undo, redo, word moves, bookmarks, read-only) compared after every command; then what
// the model leaves out.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

#include "components/ZalCmdCodes.h"
#include "components/ZalExcpt.h"
#include "EditorTestUtil.h"
#include "platform/Clipboard.h"

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }
bool Delim(char c) { return kDefaultWordDelimiters.find(c) != std::string_view::npos; }

// The text as paragraphs, caret and selection as Para/Pos; no wrapping, so a paragraph is
// a line and Pos its column.
struct TModel {
    std::vector<std::string> t{""};
    TParaPos caret{1, 1}, s{1, 1}, e{1, 1}, ce{1, 1};
    bool ins = true, ro = false, pastEnd = false, wrapLeft = true;
    TTabType tabs = ttReal;
    int ts = 8;
    std::string clip;

    std::string& T(int32_t p) { return t[size_t(p) - 1]; }
    int32_t Len(int32_t p) { return int32_t(T(p).size()); }
    int32_t N() const { return int32_t(t.size()); }
    bool Sel() const { return !(s == e); }
    int Width(const std::string& x, size_t k) const { // screen cells of x's first k characters
        int w = 0;
        for (size_t i = 0; i < std::min(k, x.size()); ++i) w = x[i] == '\t' ? (w / ts + 1) * ts : w + 1;
        return w;
    }
    int32_t Visual(int32_t p, int32_t pos) {
        return pos <= Len(p) + 1 ? Width(T(p), size_t(pos) - 1) + 1 : Width(T(p), T(p).size()) + pos - Len(p);
    }
    int32_t FromVisual(int32_t p, int32_t col) {
        const int w = Width(T(p), T(p).size());
        if (col <= 1 || w < col) return col <= 1 ? col : Len(p) + col - w;
        int32_t k = 0;
        while (Width(T(p), size_t(k)) < col) ++k;
        return k;
    }

    // The caret core: the column limit, then the selection extended or collapsed.
    void Place(int32_t p, int32_t pos, bool extend) {
        p = std::clamp(p, int32_t(1), N());
        caret = {p, std::clamp(pos, 1, pastEnd ? 32768 : Len(p) + 1)};
        const TParaPos c{p, std::min(caret.Pos, Len(p) + 1)};
        if (!extend) return (void)(s = e = ce = c);
        (ce == s ? s : e) = c;
        if (ParaPosBefore(e, s)) std::swap(s, e);
        ce = c;
    }
    void By(int32_t dl, bool x) { // vertical moves keep the visual column
        if (caret.Para + dl > N() && caret.Para == N()) return;
        const int32_t p = std::clamp(caret.Para + dl, 1, N());
        Place(p, p == caret.Para ? caret.Pos : FromVisual(p, Visual(caret.Para, caret.Pos)), x);
    }
    void Left(bool x) {
        if (caret.Pos >= 2) Place(caret.Para, caret.Pos - 1, x);
        else if (caret.Para > 1 && wrapLeft) Place(caret.Para - 1, Len(caret.Para - 1) + 1, x);
    }
    void Right(bool x) {
        if (caret.Pos <= Len(caret.Para) || pastEnd) Place(caret.Para, caret.Pos + 1, x);
        else if (caret.Para < N()) Place(caret.Para + 1, 1, x);
    }
    void WordLeft(bool x) {
        if (caret.Pos < 2) return caret.Para > 1 ? Place(caret.Para - 1, Len(caret.Para - 1) + 1, x) : void();
        size_t c = size_t(std::min(caret.Pos, Len(caret.Para) + 1) - 1);
        while (c > 0 && Delim(T(caret.Para)[c - 1])) --c;
        while (c > 0 && !Delim(T(caret.Para)[c - 1])) --c;
        Place(caret.Para, int32_t(c) + 1, x);
    }
    void WordRight(bool x) {
        int32_t p = caret.Pos;
        if (p > Len(caret.Para)) return caret.Para < N() ? Place(caret.Para + 1, 1, x) : void();
        while (p <= Len(caret.Para) && !Delim(T(caret.Para)[size_t(p) - 1])) ++p;
        while (p <= Len(caret.Para) && Delim(T(caret.Para)[size_t(p) - 1])) ++p;
        Place(caret.Para, p, x);
    }

    void InsertAt(int32_t p, int32_t pos, const std::string& x) { // spaces fill up to pos
        if (pos - 1 > Len(p)) T(p).resize(size_t(pos) - 1, ' ');
        T(p).insert(size_t(pos) - 1, x);
    }
    // Splits p at pos (cut to its end), trimming the blanks left before a moved tail; at 1
    // an empty paragraph goes before. Returns the indentation characters used.
    int32_t Split(int32_t p, int32_t pos, const std::string& indent) {
        pos = std::clamp(pos, 1, Len(p) + 1);
        if (pos == 1) return t.insert(t.begin() + p - 1, ""), 0;
        const std::string tail = T(p).substr(size_t(pos) - 1);
        T(p).resize(size_t(pos) - 1);
        while (!tail.empty() && !T(p).empty() && Blank(T(p).back())) T(p).pop_back();
        t.insert(t.begin() + p, indent + tail);
        return int32_t(indent.size());
    }
    void RemoveSel() {
        T(s.Para) = T(s.Para).substr(0, size_t(s.Pos) - 1) + T(e.Para).substr(size_t(e.Pos) - 1);
        t.erase(t.begin() + s.Para, t.begin() + e.Para);
        Place(s.Para, s.Pos, false);
    }
    void Delete(TParaPos from, TParaPos to) {
        if (!ro) s = from, e = to, RemoveSel();
    }
    void Del() {
        if (ro) return;
        if (Sel()) return RemoveSel();
        const TParaPos c = caret;
        if (c.Pos <= Len(c.Para)) {
            T(c.Para).erase(size_t(c.Pos) - 1, 1);
        } else if (c.Para < N()) { // the next paragraph joins, padded only when it has text
            if (!T(c.Para + 1).empty()) InsertAt(c.Para, c.Pos, T(c.Para + 1));
            t.erase(t.begin() + c.Para);
        }
        Place(c.Para, c.Pos, false);
    }
    void Back() {
        if (ro) return Left(false);
        if (Sel()) return Del();
        const TParaPos before = caret;
        if (before == TParaPos{1, 1}) return;
        Left(false);
        if (caret.Para != before.Para || (caret.Pos != before.Pos && caret.Pos <= Len(caret.Para))) Del();
    }
    void DelWord() {
        int32_t p = caret.Pos;
        while (p <= Len(caret.Para) && !Delim(T(caret.Para)[size_t(p) - 1])) ++p;
        while (p <= Len(caret.Para) && Blank(T(caret.Para)[size_t(p) - 1])) ++p;
        if (!ro && !Sel() && p > caret.Pos) s = caret, e = {caret.Para, p};
        Del();
    }
    void DelLinePart(bool toStart) {
        const TParaPos c = caret;
        const int32_t len = Len(c.Para);
        if (ro) return;
        if (len == 0 || (toStart ? c.Pos == 1 : c.Pos > len)) return Place(c.Para, c.Pos, false);
        toStart ? Delete({c.Para, 1}, {c.Para, std::min(c.Pos, len + 1)}) : Delete(c, {c.Para, len + 1});
    }
    void DelLine() {
        const int32_t p = caret.Para;
        if (p < N()) Delete({p, 1}, {p + 1, 1});
        else if (Len(p) > 0) Delete({p, 1}, {p, Len(p) + 1});
    }
    void Char(char ch) {
        if (ro) return;
        const bool over = !ins && !Sel() && caret.Pos <= Len(caret.Para);
        if (Sel()) RemoveSel();
        if (over) T(caret.Para)[size_t(caret.Pos) - 1] = ch;
        else InsertAt(caret.Para, caret.Pos, std::string(1, ch));
        Place(caret.Para, caret.Pos + 1, false);
    }
    // Enter with auto-indent; commit marks the selection's deletion as an undo step.
    void NewLine(const std::function<void()>& commit) {
        const bool insert = ins && !ro;
        if (Sel() && !ro) RemoveSel(), commit();
        const int32_t p = caret.Para;
        int32_t indent = 0;
        if (insert) {
            size_t blanks = 0;
            while (blanks < std::min(T(p).size(), size_t(caret.Pos) - 1) && Blank(T(p)[blanks])) ++blanks;
            const int width = Width(T(p), blanks), tabCount = tabs == ttReal ? width / ts : 0;
            indent = Split(p, caret.Pos, std::string(size_t(tabCount), '\t') + std::string(size_t(width - tabCount * ts), ' '));
        }
        if (insert || p < N()) Place(p + 1, indent + 1, false);
        else Place(N(), Len(N()) + 1, false);
    }
    int32_t Stop(int32_t p) { // where a smart tab stops by paragraph p
        std::string x;
        for (char c : T(p)) x.append(c == '\t' ? size_t(ts) - x.size() % size_t(ts) : 1, c == '\t' ? ' ' : c);
        int32_t c = caret.Pos;
        if (x.empty() || int32_t(x.size()) < c) return x.empty() ? 0 : c;
        while (c <= int32_t(x.size()) && x[size_t(c) - 1] != ' ') ++c;
        while (c <= int32_t(x.size()) && x[size_t(c) - 1] == ' ') ++c;
        return c;
    }
    void Tab() {
        if (ro) return;
        if (tabs == ttReal) return Char('\t');
        if (Sel()) RemoveSel();
        const TParaPos c = caret;
        int32_t n = ts * ((c.Pos - 1) / ts + 1) - c.Pos + 1, r = 0;
        if (tabs == ttSmart && c.Para > 1 && (r = Stop(c.Para - 1)) == 0 && c.Para < N()) r = Stop(c.Para + 1);
        if (r > c.Pos) n = r - c.Pos;
        if (!ins && c.Pos <= Len(c.Para)) T(c.Para).erase(size_t(c.Pos) - 1, size_t(n));
        InsertAt(c.Para, c.Pos, std::string(size_t(n), ' '));
        Place(c.Para, c.Pos + n, false);
    }
    // A text with line breaks: a break at a paragraph's start makes a new paragraph
    // before it, any other splits the paragraph.
    void Block(std::string x) {
        if (ro) return;
        x = x.substr(0, x.find('\0'));
        if (Sel()) RemoveSel();
        int32_t p = caret.Para, pos = caret.Pos;
        for (size_t i = 0; i < x.size();) {
            const size_t lf = x.find('\n', i), end = lf == std::string::npos ? x.size() : lf + 1;
            size_t ce = end;
            while (ce > i && (x[ce - 1] == '\n' || x[ce - 1] == '\r')) --ce;
            const std::string content = x.substr(i, ce - i);
            if (ce < end && pos == 1) {
                t.insert(t.begin() + p - 1, content);
            } else {
                if (!content.empty()) InsertAt(p, pos, content);
                pos += int32_t(content.size());
                if (ce < end) Split(p, pos, "");
            }
            if (ce < end) ++p, pos = 1;
            i = end;
        }
        Place(p, pos, false);
    }
    void Copy() {
        clip.clear();
        for (int32_t p = s.Para; p <= e.Para; ++p) {
            const size_t from = p == s.Para ? size_t(s.Pos) - 1 : 0;
            clip += (p > s.Para ? "\r\n" : "") + T(p).substr(from, p == e.Para ? size_t(e.Pos) - 1 - from : std::string::npos);
        }
    }
};

class TCommandsRun {
public:
    TCommandsRun(TProbeEditor& ed, uint32_t seed) : ed_(ed), rng_(seed) {
        m_.ts = Rand(0, 1) ? 8 : 4;
        m_.wrapLeft = Rand(0, 3) != 0;
        m_.pastEnd = seed % 3 == 0;
        ed_.SetTabSize(m_.ts), ed_.SetWrapAtLeft(m_.wrapLeft), ed_.SetScrollPastEnd(m_.pastEnd);
        ed_.SetAutoIndent(true), ed_.SetInsertMode(true), ed_.SetReadOnly(false), ed_.SetTabType(ttReal);
        ed_.OnError = [](TComponent*, uint16_t& code) { FAIL() << "error " << code; };
        SetClipboardText(m_.clip = "clip\tboard");
        Reload();
    }

    void Step() {
        const int32_t page = std::max(1, ed_.VisibleRows() - 1), top = ed_.TopLine(), line = m_.caret.Para;
        const bool onPage = line >= top && line < top + ed_.VisibleRows();
        const char ch = "abcxyz   ..,\t("[Rand(0, 13)];
        const int mark = Rand(0, 9);
        const TParaPos marker = ed_.ParaList().Marker(mark);
        const std::pair<uint16_t, std::function<void()>> commands[] = {
            {ccInsertChar, [&] { m_.Char(ch); }}, {ccInsertChar, [&] { m_.Char(ch); }},
            {ccInsertChar, [&] { m_.Char(ch); }}, {ccBack, [&] { m_.Back(); }},
            {ccDel, [&] { m_.Del(); }}, {ccDelWord, [&] { m_.DelWord(); }},
            {ccDelBol, [&] { m_.DelLinePart(true); }}, {ccDelEol, [&] { m_.DelLinePart(false); }},
            {ccDelLine, [&] { m_.DelLine(); }}, {ccNewLine, [&] { m_.NewLine([&] { Commit(); }); }},
            {ccTab, [&] { m_.Tab(); }}, {ccIns, [&] { m_.ins = !m_.ins; }},
            {ccLeft, [&] { m_.Left(false); }}, {ccExtendRight, [&] { m_.Right(true); }},
            {ccRight, [&] { m_.Right(false); }}, {ccUp, [&] { m_.By(-1, false); }},
            {ccExtendDown, [&] { m_.By(1, true); }}, {ccDown, [&] { m_.By(1, false); }},
            {ccHome, [&] { m_.Place(line, 1, false); }}, {ccExtendEnd, [&] { m_.Place(line, m_.Len(line) + 1, true); }},
            {ccWordLeft, [&] { m_.WordLeft(false); }}, {ccExtWordRight, [&] { m_.WordRight(true); }},
            {ccWordRight, [&] { m_.WordRight(false); }}, {ccExtWordLeft, [&] { m_.WordLeft(true); }},
            {ccNextPage, [&] { m_.By(page, false); }}, {ccExtendPgUp, [&] { m_.By(-page, true); }},
            {ccFirstPage, [&] { m_.Place(1, 1, false); }}, {ccExtLastPage, [&] { m_.Place(m_.N(), m_.Len(m_.N()) + 1, true); }},
            {ccBotOfPage, [&] { if (onPage) m_.By(top + ed_.VisibleRows() - 1 - line, false); }},
            {ccExtTopOfPage, [&] { if (onPage) m_.By(top - line, true); }},
            {ccCopy, [&] { if (m_.Sel()) m_.Copy(); }},
            {ccCut, [&] { if (m_.Sel() && !m_.ro) m_.Copy(), m_.RemoveSel(); }},
            {ccPaste, [&] { m_.Block(m_.clip); }},
            {uint16_t(ccSetMarker0 + mark), [&] {}}, {uint16_t(ccGotoMarker0 + mark), [&] { if (marker.Para) m_.Place(marker.Para, marker.Pos, false); }},
        };
        const int kind = Rand(0, 41);
        if (kind < 35) {
            const auto& [code, model] = commands[kind];
            SCOPED_TRACE(testing::Message() << "command " << code);
            if (code == ccTab) ed_.SetTabType(m_.tabs = TTabType(Rand(0, 2)));
            ASSERT_TRUE(ed_.ProcessCommand(code, code == ccInsertChar ? ch : char('0' + mark)));
            model();
            EXPECT_TRUE(code != ccSetMarker0 + mark || ed_.ParaList().Marker(mark) == m_.caret);
        } else if (kind < 37) {
            const int32_t p1 = Rand(1, m_.N()), p2 = Rand(1, m_.N());
            const int32_t c1 = Rand(1, m_.Len(p1) + 1), c2 = Rand(1, m_.Len(p2) + 1);
            if (ed_.TextLength() > 0) m_.Place(p1, c1, false), m_.Place(p2, c2, true); // empty: nothing to select
            ed_.SetSelection(p1, c1, p2, c2, true);
        } else if (kind < 38) {
            const char* parts[] = {"word", " ", "\t", "\r\n", "\n", "a\rb", "\n\n", "x\r"};
            std::string text;
            for (int i = Rand(1, 8); i > 0; --i) text += parts[Rand(0, 7)];
            ASSERT_EQ(ed_.InsertText(text), 0);
            m_.Block(text);
        } else if (kind < 41) {
            return History(kind == 40);
        } else {
            ed_.SetReadOnly(m_.ro = !m_.ro);
        }
        if (!(hist_[cur_] == m_.t)) Commit();
        Check();
        if (m_.t.size() > 60 || ed_.TextLength() > 2500) Reload();
    }

private:
    int32_t Rand(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng_); }
    void Reload() {
        const char* words[] = {"ab", "cd", ".", "e-f", " ", "\t"};
        m_.t.clear();
        for (int i = Rand(1, 8); i > 0; --i) {
            m_.t.emplace_back(size_t(Rand(0, 4)), Rand(0, 3) ? ' ' : '\t');
            for (int w = Rand(0, 8); w > 0; --w) m_.t.back() += words[Rand(0, 5)];
            m_.t.back() += "gh";
        }
        ed_.Clear(true);
        for (const std::string& para : m_.t) ed_.AppendPara(para);
        m_.t.emplace_back();
        m_.caret = m_.s = m_.e = m_.ce = {1, 1};
        hist_ = {m_.t};
        cur_ = 0;
    }
    void Commit() { // the text after a step that undo can return to
        hist_.resize(cur_ + 1);
        hist_.push_back(m_.t);
        cur_ = hist_.size() - 1;
    }
    // Undo and redo land on a state the text had after an earlier (or, for redo, later)
    // step; the caret stands in the text and the selection collapses there.
    void History(bool redo) {
        const bool can = redo ? ed_.CanRedo() : ed_.CanUndo();
        ASSERT_TRUE(ed_.ProcessCommand(redo ? ccRedo : ccUndo, 0));
        if (!can) return Check();
        std::vector<std::string> now;
        for (int32_t p = 1; p <= ed_.ParaCount(); ++p) now.push_back(ed_.GetPara(p));
        size_t j = cur_;
        while (!(hist_[j] == now) && (redo ? j + 1 < hist_.size() : j > 0)) redo ? ++j : --j;
        ASSERT_EQ(hist_[j], now) << (redo ? "redo" : "undo") << " reached no state of the history";
        cur_ = j;
        m_.t = now;
        ASSERT_LE(ed_.CaretPos(), m_.pastEnd ? 32768 : m_.Len(ed_.CaretPara()) + 1);
        m_.Place(ed_.CaretPara(), ed_.CaretPos(), false);
        Check();
    }
    void Check() {
        ASSERT_EQ(ed_.ParaCount(), m_.N());
        for (int32_t p = 1; p <= m_.N(); ++p) ASSERT_EQ(ed_.GetPara(p), m_.T(p)) << "paragraph " << p;
        ASSERT_EQ(TParaPos({ed_.CaretPara(), ed_.CaretPos()}), m_.caret);
        ASSERT_EQ(ed_.CaretLine(), m_.caret.Para);
        ASSERT_EQ(ed_.SelStart(), m_.s);
        ASSERT_EQ(ed_.SelEnd(), m_.e);
        ASSERT_EQ(ed_.SelCaretEnd(), m_.ce);
        ASSERT_EQ(ed_.InsertMode(), m_.ins);
    }

    TProbeEditor& ed_;
    std::mt19937 rng_;
    TModel m_;
    std::vector<std::vector<std::string>> hist_;
    size_t cur_ = 0;
};

} // namespace

TEST_F(EditorTest, CommandsFollowTheirRules) {
    std::vector<uint32_t> seeds{1, 2, 3};
    int steps = 7000;
    if (const char* chosen = std::getenv("EDITOR_SEED")) seeds = {uint32_t(std::strtoul(chosen, nullptr, 10))}, steps = 21000;
    for (uint32_t seed : seeds) {
        SCOPED_TRACE(testing::Message() << "EDITOR_SEED=" << seed);
        TCommandsRun run(*edit, seed);
        for (int step = 0; step < steps && !HasFatalFailure(); ++step) {
            SCOPED_TRACE(testing::Message() << "step " << step);
            run.Step();
            if (step % 64 == 0) ProcessPendingEvents();
        }
        if (HasFatalFailure()) return;
    }
}

TEST_F(EditorTest, APasteOfManyChunksArrivesWhole) {
    // Lines ended every way, lone CRs inside lines, and line ends about the chunk bounds.
    std::mt19937 rng(7);
    std::string text;
    const char* ends[] = {"\r\n", "\n", "\r\r\n", "\n\n"};
    while (text.size() < 200000) {
        text.append(size_t(rng() % 90), char('a' + rng() % 26));
        if (rng() % 4 == 0) text += "\rx";
        text += ends[rng() % 4];
    }
    for (size_t at : {122878, 122879, 122880}) text.replace(at, 4, "\r\n\r\n");
    text.replace(61439, 2, "\rx"); // a lone CR just before a bound is text
    Load(*edit, {"head", "tail"});
    edit->SetCaretPosition(1, 3);
    TModel model;
    model.t = {"head", "tail", ""};
    model.Place(1, 3, false);
    SetClipboardText(text);
    ASSERT_TRUE(edit->ProcessCommand(ccPaste, 0));
    model.Block(text);
    ASSERT_EQ(edit->ParaCount(), model.N());
    for (int32_t p = 1; p <= model.N(); ++p) ASSERT_EQ(edit->GetPara(p), model.T(p)) << p;
    EXPECT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), model.caret);
}

TEST_F(EditorTest, EveryCodeIsHandledOrRefusedAndTheListedOnesRaiseOnChange) {
    Load(*edit, {"one two", "three"});
    edit->SetReadOnly(true); // the codes run without changing the text
    int changes = 0, users = 0;
    edit->OnChange = [&](TComponent*) { ++changes; };
    edit->OnUserCommand = [&](TComponent*, uint16_t code) { users += code >= ccUserBase; };
    const std::vector<int> unhandled{0, 3, 4, 5, 9, 43, 49, 50, 54, 69, 70}, raising{1, 8, 10, 11, 12, 13, 14, 51, 53, 68, 72, 249};
    for (int code = 0; code < 300; ++code) {
        const int before = changes;
        const bool handled = (code <= 75 && std::count(unhandled.begin(), unhandled.end(), code) == 0) ||
                             code == ccInsertChar || code >= ccUserBase;
        EXPECT_EQ(edit->ProcessCommand(uint16_t(code), 'x'), handled) << code;
        EXPECT_EQ(changes - before, std::count(raising.begin(), raising.end(), code)) << code;
    }
    EXPECT_EQ(users, 44);
    EXPECT_EQ(edit->GetPara(1) + edit->GetPara(2), "one twothree");
    EXPECT_FALSE(edit->ParaList().Marker(0).Para) << "'x' names no bookmark";
}

TEST_F(EditorTest, LimitsAndAClosedClipboardRefuseTheWholeCommand) {
    Load(*edit, {"abcd", "efgh"});
    edit->SetParaLengthLimit(5);
    edit->SetCaretPosition(1, 3);
    ASSERT_TRUE(edit->ProcessCommand(ccInsertChar, 'x'));
    try {
        edit->ProcessCommand(ccInsertChar, 'y');
        ADD_FAILURE() << "without OnError the error is raised";
    } catch (const EEditorError& e) {
        EXPECT_EQ(e.ErrorCode, ecParaLengthLimit);
    }
    uint16_t reported = 0;
    edit->OnError = [&](TComponent*, uint16_t& code) { reported = code; };
    edit->SetParaLimit(2); // the empty last paragraph is not counted
    edit->ProcessCommand(ccNewLine, 0);
    EXPECT_EQ(reported, ecParaLimit);
    EXPECT_EQ(edit->GetPara(1), "abxcd");
    EXPECT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), TParaPos({1, 4})) << "the caret stays";

    // Bytes 1..8 become spaces on the clipboard, tabs stay; a cut that cannot reach the
    // clipboard deletes nothing.
    Load(*edit, {"a\tb\x01", "c"});
    edit->SetSelection(1, 1, 2, 2, true);
    edit->ProcessCommand(ccCopy, 0);
    std::string clip;
    ASSERT_TRUE(GetClipboardText(clip));
    EXPECT_EQ(clip, "a\tb \r\nc");
    ASSERT_TRUE(OpenClipboard(nullptr));
    edit->ProcessCommand(ccCut, 0);
    CloseClipboard();
    EXPECT_EQ(edit->GetPara(1), "a\tb\x01");
    EXPECT_TRUE(edit->SelectionExists());
}

TEST_F(EditorTest, UndoAndRedoPutTheCaretWhereTheEditWas) {
    Load(*edit, {"abc def", "ghi"});
    edit->SetCaretPosition(1, 4);
    for (char ch : std::string("xyz")) edit->ProcessCommand(ccInsertChar, ch);
    edit->ProcessCommand(ccNewLine, 0);
    edit->ProcessCommand(ccUndo, 0);
    EXPECT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), TParaPos({1, 7})) << "at the split";
    edit->ProcessCommand(ccUndo, 0);
    EXPECT_EQ(edit->GetPara(1), "abc def") << "the typed word goes in one step";
    EXPECT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), TParaPos({1, 4}));
    edit->ProcessCommand(ccRedo, 0);
    edit->ProcessCommand(ccRedo, 0);
    EXPECT_EQ(edit->GetPara(1) + "|" + edit->GetPara(2), "abcxyz| def");
    EXPECT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), TParaPos({2, 1}));
}

TEST_F(EditorTest, CommandsKeepTheViewConsistentUnderWordWrap) {
    // What the model cannot follow: display lines. Every position the view keeps must
    // still name its place in the text after any command.
    std::mt19937 rng(9);
    const uint16_t codes[] = {ccInsertChar, ccInsertChar, ccBack, ccDel, ccDelWord, ccDelBol, ccDelEol, ccDelLine,
                              ccNewLine, ccTab, ccLeft, ccRight, ccUp, ccExtendDown, ccEnd, ccWordLeft,
                              ccExtWordRight, ccHome, ccUndo, ccRedo, ccPaste, ccCut, ccExtendLeft, ccIns};
    Load(*edit, {"a first paragraph long enough to wrap at twelve", "\tsecond one", "third"});
    edit->SetWrapColumn(12);
    edit->SetWordWrap(true);
    edit->SetAutoIndent(true);
    SetClipboardText("pasted words\r\nand more");
    TZalParaList& list = edit->ParaList();
    for (int step = 0; step < 6000 && !HasFatalFailure(); ++step) {
        const uint16_t code = codes[rng() % std::size(codes)];
        if (code == ccTab) edit->SetTabType(TTabType(rng() % 3));
        edit->ProcessCommand(code, "ab cd.\t"[rng() % 7]);
        if (edit->ParaCount() > 40) Load(*edit, {"short", "lines"});
        SCOPED_TRACE(testing::Message() << "step " << step << " command " << code);
        int offset = 0;
        const struct { int32_t line, col; TParaPos at; } ends[] = {
            {edit->CaretLine(), edit->CaretCol(), {edit->CaretPara(), edit->CaretPos()}},
            {edit->SelStartLine(), edit->SelStartCol(), edit->SelStart()},
            {edit->SelEndLine(), edit->SelEndCol(), edit->SelEnd()}};
        for (const auto& end : ends) {
            ASSERT_EQ(list.LineToPara(end.line, offset), end.at.Para);
            ASSERT_EQ(offset + end.col, end.at.Pos);
            ASSERT_LE(end.col, list.LineLength(end.line) + 1);
        }
        ASSERT_FALSE(ParaPosBefore(edit->SelEnd(), edit->SelStart()));
    }
}
