// The editing commands against a plain model of their rules: random command sequences
// (typing in both modes, deletions, Enter with auto-indent, the three tabs, clipboard,
// undo, redo, word moves, bookmarks, read-only) compared after every command.
#include <algorithm>
#include <cstdlib>
#include <random>

#include "components/ZalCmdCodes.h"
#include "components/ZalExcpt.h"
#include "EditorTestUtil.h"
#include "platform/Clipboard.h"

namespace {

// The text as paragraphs, the caret and selection as Para/Pos, unwrapped.
struct TModel {
    std::vector<std::string> t{""};
    TParaPos caret{1, 1}, s{1, 1}, e{1, 1}, ce{1, 1};
    bool ins = true, ro = false, pastEnd = false, wrapLeft = true, autoIndent = true;
    TTabType tabs = ttReal;
    int ts = 8;
    std::string clip;

    std::string& T(int32_t p) { return t[size_t(p) - 1]; }
    int32_t Len(int32_t p) { return int32_t(T(p).size()); }
    int32_t N() const { return int32_t(t.size()); }
    bool Sel() const { return !(s == e); }
    static bool Delim(char c) { return kDefaultWordDelimiters.find(c) != std::string_view::npos; }
    int Width(const std::string& x, size_t k) const {
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

    // The caret core: clamp, then extend or collapse the selection.
    void Place(int32_t p, int32_t pos, bool extend) {
        p = std::clamp(p, int32_t(1), N());
        caret = {p, std::clamp(pos, 1, pastEnd ? 32768 : Len(p) + 1)};
        const TParaPos c{p, std::min(caret.Pos, Len(p) + 1)};
        if (!extend) {
            s = e = ce = c;
            return;
        }
        (ce == s ? s : e) = c;
        if (ParaPosBefore(e, s)) std::swap(s, e);
        ce = c;
    }
    void By(int32_t dl, bool extend) {
        int32_t p = caret.Para + dl;
        if (p > N() && caret.Para == N()) return;
        p = std::clamp(p, int32_t(1), N());
        Place(p, p == caret.Para ? caret.Pos : FromVisual(p, Visual(caret.Para, caret.Pos)), extend);
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
        const std::string& w = T(caret.Para);
        if (caret.Pos < 2) {
            if (caret.Para > 1) Place(caret.Para - 1, Len(caret.Para - 1) + 1, x);
            return;
        }
        size_t c = size_t(std::min(caret.Pos, Len(caret.Para) + 1) - 1);
        while (c > 0 && Delim(w[c - 1])) --c;
        while (c > 0 && !Delim(w[c - 1])) --c;
        Place(caret.Para, int32_t(c) + 1, x);
    }
    void WordRight(bool x) {
        const std::string& w = T(caret.Para);
        int32_t p = caret.Pos;
        if (p > Len(caret.Para)) {
            if (caret.Para < N()) Place(caret.Para + 1, 1, x);
            return;
        }
        while (p <= Len(caret.Para) && !Delim(w[size_t(p) - 1])) ++p;
        while (p <= Len(caret.Para) && Delim(w[size_t(p) - 1])) ++p;
        Place(caret.Para, p, x);
    }

    void InsertAt(int32_t p, int32_t pos, const std::string& x) {
        if (pos - 1 > Len(p)) T(p).resize(size_t(pos) - 1, ' ');
        T(p).insert(size_t(pos) - 1, x);
    }
    // Splits p at pos (cut to the end), trimming the blanks left before a moved tail; a split at 1
    // inserts an empty paragraph before. Returns the characters of indentation used.
    int32_t Split(int32_t p, int32_t pos, const std::string& indent) {
        pos = std::clamp(pos, 1, Len(p) + 1);
        if (pos == 1) return t.insert(t.begin() + p - 1, ""), 0;
        const std::string tail = T(p).substr(size_t(pos) - 1);
        T(p).resize(size_t(pos) - 1);
        while (!tail.empty() && !T(p).empty() && (T(p).back() == ' ' || T(p).back() == '\t')) T(p).pop_back();
        t.insert(t.begin() + p, indent + tail);
        return int32_t(indent.size());
    }
    void RemoveSel() {
        T(s.Para) = T(s.Para).substr(0, size_t(s.Pos) - 1) + T(e.Para).substr(size_t(e.Pos) - 1);
        t.erase(t.begin() + s.Para, t.begin() + e.Para);
        Place(s.Para, s.Pos, false);
    }
    void Del() {
        if (ro) return;
        if (Sel()) return RemoveSel();
        const TParaPos c = caret;
        if (c.Pos <= Len(c.Para)) {
            T(c.Para).erase(size_t(c.Pos) - 1, 1);
        } else if (c.Para < N()) {
            if (!T(c.Para + 1).empty()) InsertAt(c.Para, c.Pos, T(c.Para + 1)); // pads only then
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
    void DeleteSpan(TParaPos from, TParaPos to) {
        if (ro) return;
        s = from, e = to;
        RemoveSel();
    }
    void Char(char ch) {
        if (ro) return;
        const bool over = !ins && !Sel() && caret.Pos <= Len(caret.Para);
        if (Sel()) RemoveSel();
        if (over) T(caret.Para)[size_t(caret.Pos) - 1] = ch;
        else InsertAt(caret.Para, caret.Pos, std::string(1, ch));
        Place(caret.Para, caret.Pos + 1, false);
    }
    void Spaces(int32_t n) {
        const TParaPos c = caret;
        if (!ins && c.Pos <= Len(c.Para)) T(c.Para).erase(size_t(c.Pos) - 1, size_t(n));
        InsertAt(c.Para, c.Pos, std::string(size_t(n), ' '));
        Place(c.Para, c.Pos + n, false);
    }
    int32_t Stop(int32_t p) {
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
        const int32_t col = caret.Pos, p = caret.Para;
        int32_t n = ts * ((col - 1) / ts + 1) - col + 1, r = 0;
        if (tabs == ttSmart && p > 1 && (r = Stop(p - 1)) == 0 && p < N()) r = Stop(p + 1);
        Spaces(r > col ? r - col : n);
    }
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
    std::string Selected() {
        std::string x;
        for (int32_t p = s.Para; p <= e.Para; ++p) {
            const size_t from = p == s.Para ? size_t(s.Pos) - 1 : 0;
            x += (p > s.Para ? "\r\n" : "") + T(p).substr(from, p == e.Para ? size_t(e.Pos) - 1 - from : std::string::npos);
        }
        for (char& c : x) if (c >= 1 && c <= 8) c = ' ';
        return x;
    }
};

class TCommandsRun {
public:
    TCommandsRun(TProbeEditor& ed, uint32_t seed) : ed_(ed), rng_(seed) {
        m_.ts = Rand(0, 1) ? 8 : 4;
        m_.wrapLeft = Rand(0, 3) != 0;
        m_.pastEnd = seed % 3 == 0;
        ed_.SetTabSize(m_.ts);
        ed_.SetWrapAtLeft(m_.wrapLeft);
        ed_.SetScrollPastEnd(m_.pastEnd);
        ed_.SetAutoIndent(true);
        ed_.SetInsertMode(true);
        ed_.SetReadOnly(false);
        ed_.SetTabType(ttReal);
        ed_.OnError = [](TComponent*, uint16_t& code) { FAIL() << "error " << code; };
        m_.clip = "clip\tboard";
        SetClipboardText(m_.clip);
        Reload();
    }

    void Step() {
        const int kind = Rand(0, 99);
        last_ = -kind;
        const std::vector<std::string> before = m_.t;
        const char ch = "abcxyz   ..,\t("[Rand(0, 13)];
        if (kind < 28) Do(ccInsertChar, ch, [&] { m_.Char(ch); });
        else if (kind < 34) Do(ccBack, 0, [&] { m_.Back(); });
        else if (kind < 38) Do(ccDel, 0, [&] { m_.Del(); });
        else if (kind < 41) Do(ccDelWord, 0, [&] { DelWord(); });
        else if (kind < 43) Do(ccDelBol, 0, [&] { DelLinePart(true); });
        else if (kind < 45) Do(ccDelEol, 0, [&] { DelLinePart(false); });
        else if (kind < 47) Do(ccDelLine, 0, [&] { DelLine(); });
        else if (kind < 53) Do(ccNewLine, 0, [&] { NewLine(); });
        else if (kind < 57) {
            m_.tabs = TTabType(Rand(0, 2));
            ed_.SetTabType(m_.tabs);
            Do(ccTab, 0, [&] { m_.Tab(); });
        } else if (kind < 59) Do(ccIns, 0, [&] { m_.ins = !m_.ins; });
        else if (kind < 78) Move();
        else if (kind < 82) {
            const int32_t p1 = Rand(1, m_.N()), p2 = Rand(1, m_.N());
            const int32_t c1 = Rand(1, m_.Len(p1) + 1), c2 = Rand(1, m_.Len(p2) + 1);
            const bool atEnd = Rand(0, 1);
            if (ed_.TextLength() > 0) { // an empty text has nothing to select
                m_.Place(atEnd ? p1 : p2, atEnd ? c1 : c2, false);
                m_.Place(atEnd ? p2 : p1, atEnd ? c2 : c1, true);
            }
            ed_.SetSelection(p1, c1, p2, c2, atEnd);
        } else if (kind < 84) Do(ccCopy, 0, [&] { if (m_.Sel()) m_.clip = m_.Selected(); });
        else if (kind < 86) Do(ccCut, 0, [&] { if (m_.Sel() && !m_.ro) m_.clip = m_.Selected(), m_.RemoveSel(); });
        else if (kind < 88) Do(ccPaste, 0, [&] { m_.Block(m_.clip); });
        else if (kind < 90) {
            const char* parts[] = {"word", " ", "\t", "\r\n", "\n", "a\rb", "\n\n", "x\r"};
            std::string text;
            for (int i = Rand(1, 8); i > 0; --i) text += parts[Rand(0, 7)];
            EXPECT_EQ(ed_.InsertText(text), 0);
            m_.Block(text);
        } else if (kind < 96) {
            return History(Rand(0, 1) == 1);
        } else if (kind < 98) Bookmark();
        else {
            m_.ro = !m_.ro;
            ed_.SetReadOnly(m_.ro);
        }
        if (!(before == m_.t)) Commit();
        Check();
        if (m_.t.size() > 60 || ed_.TextLength() > 2500) Reload();
    }

private:
    int32_t Rand(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng_); }
    template <class F> void Do(uint16_t code, char ch, F model) {
        last_ = code;
        ASSERT_TRUE(ed_.ProcessCommand(code, ch)) << code;
        model();
    }
    void Reload() {
        std::vector<std::string> paras;
        const char* words[] = {"ab", "cd", ".", "e-f", " ", "\t"};
        for (int i = Rand(1, 8); i > 0; --i) {
            std::string para(size_t(Rand(0, 4)), Rand(0, 3) ? ' ' : '\t');
            for (int w = Rand(0, 8); w > 0; --w) para += words[Rand(0, 5)];
            para += "gh";
            paras.push_back(para);
        }
        ed_.Clear(true);
        for (const std::string& para : paras) ed_.AppendPara(para);
        paras.push_back("");
        m_.t = paras;
        m_.caret = m_.s = m_.e = m_.ce = {1, 1};
        hist_ = {m_.t};
        cur_ = 0;
    }
    void Commit() {
        hist_.resize(cur_ + 1);
        hist_.push_back(m_.t);
        cur_ = hist_.size() - 1;
    }
    void DelWord() {
        if (m_.ro) return;
        const TParaPos c = m_.caret;
        int32_t p = c.Pos;
        const std::string& w = m_.T(c.Para);
        while (p <= m_.Len(c.Para) && !TModel::Delim(w[size_t(p) - 1])) ++p;
        while (p <= m_.Len(c.Para) && (w[size_t(p) - 1] == ' ' || w[size_t(p) - 1] == '\t')) ++p;
        if (!m_.Sel() && p > c.Pos) m_.s = c, m_.e = {c.Para, p};
        m_.Del();
    }
    void DelLinePart(bool toStart) {
        const TParaPos c = m_.caret;
        const int32_t len = m_.Len(c.Para);
        if (m_.ro) return;
        if (len == 0 || (toStart ? c.Pos == 1 : c.Pos > len)) return m_.Place(c.Para, c.Pos, false);
        if (toStart) m_.DeleteSpan({c.Para, 1}, {c.Para, std::min(c.Pos, len + 1)});
        else m_.DeleteSpan(c, {c.Para, len + 1});
    }
    void DelLine() {
        const int32_t p = m_.caret.Para;
        if (p < m_.N()) m_.DeleteSpan({p, 1}, {p + 1, 1});
        else if (m_.Len(p) > 0) m_.DeleteSpan({p, 1}, {p, m_.Len(p) + 1});
    }
    void NewLine() {
        const bool insert = m_.ins && !m_.ro;
        if (m_.Sel() && !m_.ro) {
            m_.RemoveSel();
            Commit(); // its own undo step
        }
        const int32_t p = m_.caret.Para;
        int32_t indent = 0;
        if (insert) {
            const std::string& w = m_.T(p);
            size_t blanks = 0;
            while (blanks < std::min(w.size(), size_t(m_.caret.Pos) - 1) && (w[blanks] == ' ' || w[blanks] == '\t')) ++blanks;
            const int width = m_.Width(w, blanks);
            const int tabs = m_.tabs == ttReal ? width / m_.ts : 0;
            indent = m_.Split(p, m_.caret.Pos, std::string(size_t(tabs), '\t') + std::string(size_t(width - tabs * m_.ts), ' '));
        }
        if (insert || p < m_.N()) m_.Place(p + 1, indent + 1, false);
        else m_.Place(m_.N(), m_.Len(m_.N()) + 1, false);
    }
    void Move() {
        const int32_t page = std::max(1, ed_.VisibleRows() - 1), top = ed_.TopLine(), line = m_.caret.Para;
        const bool onPage = line >= top && line < top + ed_.VisibleRows();
        switch (Rand(0, 17)) {
        case 0: Do(ccLeft, 0, [&] { m_.Left(false); }); break;
        case 1: Do(ccExtendRight, 0, [&] { m_.Right(true); }); break;
        case 2: Do(ccRight, 0, [&] { m_.Right(false); }); break;
        case 3: Do(ccUp, 0, [&] { m_.By(-1, false); }); break;
        case 4: Do(ccExtendDown, 0, [&] { m_.By(1, true); }); break;
        case 5: Do(ccDown, 0, [&] { m_.By(1, false); }); break;
        case 6: Do(ccHome, 0, [&] { m_.Place(line, 1, false); }); break;
        case 7: Do(ccExtendEnd, 0, [&] { m_.Place(line, m_.Len(line) + 1, true); }); break;
        case 8: Do(ccWordLeft, 0, [&] { m_.WordLeft(false); }); break;
        case 9: Do(ccExtWordRight, 0, [&] { m_.WordRight(true); }); break;
        case 10: Do(ccWordRight, 0, [&] { m_.WordRight(false); }); break;
        case 11: Do(ccExtWordLeft, 0, [&] { m_.WordLeft(true); }); break;
        case 12: Do(ccNextPage, 0, [&] { m_.By(page, false); }); break;
        case 13: Do(ccExtendPgUp, 0, [&] { m_.By(-page, true); }); break;
        case 14: Do(ccFirstPage, 0, [&] { m_.Place(1, 1, false); }); break;
        case 15: Do(ccExtLastPage, 0, [&] { m_.Place(m_.N(), m_.Len(m_.N()) + 1, true); }); break;
        case 16: Do(ccBotOfPage, 0, [&] { if (onPage) m_.By(top + ed_.VisibleRows() - 1 - line, false); }); break;
        default: Do(ccExtTopOfPage, 0, [&] { if (onPage) m_.By(top - line, true); }); break;
        }
    }
    // Undo and redo land on a state the text had after some earlier (or, for redo, later)
    // command; the caret goes to a place in the text and the selection collapses there.
    void History(bool redo) {
        const bool can = redo ? ed_.CanRedo() : ed_.CanUndo();
        Do(redo ? ccRedo : ccUndo, 0, [] {});
        if (!can) return;
        std::vector<std::string> now;
        for (int32_t p = 1; p <= ed_.ParaCount(); ++p) now.push_back(ed_.GetPara(p));
        size_t j = cur_;
        while (!(hist_[j] == now) && (redo ? j + 1 < hist_.size() : j > 0)) redo ? ++j : --j;
        ASSERT_EQ(hist_[j], now) << (redo ? "redo" : "undo") << " reached no earlier state";
        cur_ = j;
        m_.t = now;
        ASSERT_LE(ed_.CaretPos(), m_.pastEnd ? 32768 : m_.Len(ed_.CaretPara()) + 1);
        m_.Place(ed_.CaretPara(), ed_.CaretPos(), false);
        Check();
    }
    void Bookmark() {
        const int i = Rand(0, 9);
        TZalParaList& list = ed_.ParaList();
        if (Rand(0, 1)) {
            Do(ccSetMarker0 + i, char('0' + i), [] {});
            EXPECT_EQ(list.Marker(i), m_.caret);
        } else {
            const TParaPos mark = list.Marker(i);
            Do(ccGotoMarker0 + i, char('0' + i), [&] { if (mark.Para) m_.Place(mark.Para, mark.Pos, false); });
        }
    }
    void Check() {
        SCOPED_TRACE(testing::Message() << "command " << last_);
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
    int last_ = 0;
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
    // Lines ended every way, lone CRs inside lines, and line ends on every side of the
    // chunk boundaries.
    std::mt19937 rng(7);
    std::string text;
    const char* ends[] = {"\r\n", "\n", "\r\r\n", "\n\n"};
    while (text.size() < 200000) {
        text.append(size_t(rng() % 90), char('a' + rng() % 26));
        if (rng() % 4 == 0) text += "\rx";
        text += ends[rng() % 4];
    }
    for (size_t at : {122878, 122879, 122880}) text.replace(at, 4, "\r\n\r\n");
    text.replace(61439, 2, "\rx"); // a lone CR just before a boundary is text
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
    int changes = 0;
    std::vector<uint16_t> user;
    edit->OnChange = [&](TComponent*) { ++changes; };
    edit->OnUserCommand = [&](TComponent*, uint16_t code) { user.push_back(code); };
    const std::vector<int> unhandled{0, 3, 4, 5, 9, 43, 49, 50, 54, 69, 70};
    const std::vector<int> raising{1, 8, 10, 11, 12, 13, 14, 51, 53, 68, 72, 249};
    for (int code = 0; code < 300; ++code) {
        const int before = changes;
        const bool handled = (code >= 1 && code <= 75 &&
                              std::find(unhandled.begin(), unhandled.end(), code) == unhandled.end()) ||
                             code == ccInsertChar || code >= ccUserBase;
        EXPECT_EQ(edit->ProcessCommand(uint16_t(code), 'x'), handled) << code;
        EXPECT_EQ(changes - before, std::count(raising.begin(), raising.end(), code)) << code;
    }
    EXPECT_EQ(user.size(), 44u);
    EXPECT_EQ(edit->GetPara(1), "one two");
    EXPECT_EQ(edit->GetPara(2), "three");
    EXPECT_FALSE(edit->ParaList().Marker(0).Para) << "'x' names no bookmark";
}

TEST_F(EditorTest, LimitsAndAClosedClipboardRefuseTheWholeCommand) {
    Load(*edit, {"abcd", "efgh"});
    edit->SetParaLengthLimit(5);
    edit->SetCaretPosition(1, 3);
    ASSERT_TRUE(edit->ProcessCommand(ccInsertChar, 'x'));
    uint16_t reported = 0;
    try {
        edit->ProcessCommand(ccInsertChar, 'y');
    } catch (const EEditorError& e) {
        reported = uint16_t(e.ErrorCode);
    }
    EXPECT_EQ(reported, ecParaLengthLimit) << "without OnError the error is raised";
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
    EXPECT_EQ(edit->GetPara(1), "abcxyz def");
    edit->ProcessCommand(ccRedo, 0);
    EXPECT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), TParaPos({2, 1}));
    EXPECT_FALSE(edit->CanRedo());
}
