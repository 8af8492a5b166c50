// Several views of one text: after every edit through any of them, each view's caret,
// selection, top line and the bookmarks agree with a model that moves plain Para/Pos pairs
// by the rule of each edit the text reports.
#include <algorithm>
#include <cstdlib>
#include <random>

#include "EditorTestUtil.h"

namespace {

enum TKind { kParaDeleted, kTextDeleted, kSplit, kInserted, kJoined };
struct TNote {
    TKind Kind;
    int32_t Para, Pos, Count, Indent;
};

TParaPos Move(TParaPos p, const TNote& n, int32_t paras) {
    switch (n.Kind) {
    case kParaDeleted:
        if (p.Para > n.Para) --p.Para;
        else if (p.Para == n.Para) p.Pos = 1;
        p.Para = std::min(p.Para, paras);
        break;
    case kTextDeleted:
        if (p.Para == n.Para && p.Pos >= n.Pos) p.Pos = std::max(n.Pos, p.Pos - n.Count);
        break;
    case kSplit:
        if (p.Para > n.Para) ++p.Para;
        else if (p.Para == n.Para && p.Pos >= n.Pos) p = {n.Para + 1, p.Pos - n.Pos + n.Indent + 1};
        break;
    case kInserted:
        if (p.Para == n.Para && p.Pos >= n.Pos) p.Pos += n.Count;
        break;
    case kJoined:
        if (p.Para == n.Para + 1) p = {n.Para, p.Pos + n.Pos - 1};
        else if (p.Para > n.Para + 1) --p.Para;
        break;
    }
    return p;
}

struct TModel {
    TParaPos caret{1, 1}, start{1, 1}, end{1, 1}, caretEnd{1, 1}, top{1, 1};
};

// A view that shows the model every adjustment it is told of.
class TSpyEditor : public TZalCustomEditor {
public:
    using TZalCustomEditor::TZalCustomEditor;
    TModel model;
    std::function<void(TSpyEditor&, const TNote&, bool)> OnNote;

    void AdjustForParaDeleted(int32_t para, bool self) override {
        Note({kParaDeleted, para, 0, 0, 0}, self);
        TZalCustomEditor::AdjustForParaDeleted(para, self);
    }
    void AdjustForTextDeleted(int32_t para, int32_t pos, int32_t count, bool self) override {
        Note({kTextDeleted, para, pos, count, 0}, self);
        TZalCustomEditor::AdjustForTextDeleted(para, pos, count, self);
    }
    void AdjustForParaSplit(int32_t para, int32_t pos, int32_t indent, bool self) override {
        Note({kSplit, para, pos, 0, indent}, self);
        TZalCustomEditor::AdjustForParaSplit(para, pos, indent, self);
    }
    void AdjustForTextInserted(int32_t para, int32_t pos, int32_t count, bool self) override {
        Note({kInserted, para, pos, count, 0}, self);
        TZalCustomEditor::AdjustForTextInserted(para, pos, count, self);
    }
    void AdjustForParasJoined(int32_t para, int32_t joinPos, bool self) override {
        Note({kJoined, para, joinPos, 0, 0}, self);
        TZalCustomEditor::AdjustForParasJoined(para, joinPos, self);
    }

private:
    void Note(const TNote& n, bool self) { OnNote(*this, n, self); }
};

class TViewsRun {
public:
    explicit TViewsRun(uint32_t seed) : rng_(seed) {
        form_.SetBounds(0, 0, 900, 700);
        NewComponent<TZalController>(&form_);
        const TRect bounds[] = {{0, 0, 300, 220}, {300, 0, 600, 120}, {0, 300, 900, 700}};
        for (const TRect& b : bounds) {
            auto* v = NewComponent<TSpyEditor>(&form_);
            v->SetParent(&form_);
            v->SetBounds(b.Left, b.Top, b.Width(), b.Height());
            v->HandleNeeded();
            if (!views_.empty()) v->Attach(views_[0]);
            v->OnNote = [this](TSpyEditor& view, const TNote& n, bool self) { Apply(view, n, self); };
            views_.push_back(v);
        }
        for (int i = 0; i < 30; ++i) views_[0]->AppendPara(Words(60));
        views_[1]->SetWrapColumn(20);
        views_[2]->SetWordWrap(true);
    }

    void Step() {
        TSpyEditor& v = *views_[Rand(0, 2)];
        TZalParaList& list = v.ParaList();
        // The ends of the text are where the rules meet their edge cases.
        const int32_t p = Rand(0, 5) ? Rand(1, list.ParaCount()) : std::max(1, list.ParaCount() - Rand(0, 1));
        const int len = list.ParaLength(p);
        const bool big = list.ByteCount() > 1500;
        int32_t para = p;
        int pos = Rand(1, len + 1);
        switch (Rand(0, big ? 6 : 13)) {
        case 0: list.DeleteTextAt(&v, p, Rand(0, 12), pos); break;
        case 1: if (list.ParaCount() > 1) list.DeletePara(&v, p); break;
        case 2: list.JoinParas(&v, p, Rand(1, len + 3)); break;
        case 3: {
            const int32_t p2 = Rand(p, std::min(list.ParaCount(), p + 3));
            list.DeleteRange(&v, p, pos, p2, Rand(1, list.ParaLength(p2) + 1));
            break;
        }
        case 4: list.UndoGroup(&v, para, pos); break;
        case 5: list.RedoGroup(&v, para, pos); break;
        case 6: MoveCaret(v); return;
        case 7: {
            const int i = Rand(0, kMarkerCount - 1);
            list.SetMarker(i, p, pos);
            markers_[i] = {p, pos};
            break;
        }
        case 8: {
            int indent = Rand(0, 5);
            list.SplitPara(&v, p, pos, Rand(0, 1) == 1, indent, Rand(0, 1) * 4);
            break;
        }
        case 9: list.InsertParaBefore(&v, p, 3, "new"); break;
        case 10: list.InsertParaAfter(&v, p, 3, "new"); break;
        case 11: {
            const std::string s = Words(Rand(1, 25));
            list.ReplaceTextAt(&v, p, int(s.size()), s.data(), Rand(0, 6), pos);
            break;
        }
        case 12: {
            const std::string s = Rand(0, 2) ? Words(Rand(1, 30)) : "ab\ncd\r\nef gh\n";
            list.InsertBlock(&v, para, s, pos);
            break;
        }
        default: {
            const std::string s = Words(Rand(1, 15));
            list.InsertTextAt(&v, p, int(s.size()), s.data(), Rand(0, 5) ? pos : len + 3);
            break;
        }
        }
        CheckAll(false);
        // The performing view then places its caret, as a command would.
        para = std::clamp(para, int32_t(1), list.ParaCount());
        v.MoveCaretToPara(para, std::clamp(pos, 1, list.ParaLength(para) + 1), false);
        v.model.caret = v.model.start = v.model.end = v.model.caretEnd = {v.CaretPara(), v.CaretPos()};
        Adopt(v);
        CheckAll(true);
    }

    void Relayout() {
        TSpyEditor& v = *views_[Rand(0, 2)];
        switch (Rand(0, 2)) {
        case 0: v.SetWordWrap(!v.WordWrap()); break;
        case 1: v.SetWrapColumn(Rand(6, 40)); break;
        default: v.SetTabSize(Rand(2, 8)); break;
        }
        for (TSpyEditor* view : views_) {
            EXPECT_EQ(view->CaretPara(), view->model.caret.Para);
            view->model.caret = {view->CaretPara(), view->CaretPos()}; // pulled back to its line
            view->model.top = Snap(view->model.top);
        }
        CheckAll(true);
    }

    void Drain() { ProcessPendingEvents(); }

private:
    int32_t Rand(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng_); }
    std::string Words(int n) {
        std::string s;
        while (int(s.size()) < n) s += Rand(0, 5) ? char('a' + Rand(0, 25)) : Rand(0, 3) ? ' ' : '\t';
        return s;
    }
    TParaPos Clamped(TSpyEditor& v, TParaPos p) {
        return {p.Para, std::min(p.Pos, v.ParaList().ParaLength(p.Para) + 1)};
    }
    TParaPos Snap(TParaPos p) {
        TZalParaList& list = views_[0]->ParaList();
        int col, offset;
        const int32_t para = list.LineToPara(list.ParaPosToLine(p.Para, p.Pos, col), offset);
        return {para, offset + 1};
    }

    void Apply(TSpyEditor& view, const TNote& n, bool self) {
        const int32_t paras = view.ParaList().ParaCount();
        TModel& m = view.model;
        if (self) {
            for (TParaPos& b : markers_) {
                const bool gone = (n.Kind == kParaDeleted && b.Para == n.Para) ||
                                  (n.Kind == kTextDeleted && b.Para == n.Para && b.Pos >= n.Pos && b.Pos < n.Pos + n.Count);
                b = b.Para == 0 || gone ? TParaPos{} : Move(b, n, paras);
            }
        }
        if (n.Para <= m.top.Para) {
            if (!(self && n.Kind == kSplit && n.Para == m.top.Para && n.Pos == m.top.Pos)) m.top = Move(m.top, n, paras);
            m.top = Snap(m.top);
        }
        if (self) return;
        m.caret = Clamped(view, Move(m.caret, n, paras)); // these views keep the caret within its line
        if (n.Kind == kParaDeleted && m.start.Para == n.Para && m.end.Para == n.Para) {
            m.start = m.end = m.caretEnd = m.caret;
            return;
        }
        m.start = Clamped(view, Move(m.start, n, paras));
        m.end = Clamped(view, Move(m.end, n, paras));
        m.caretEnd = Clamped(view, Move(m.caretEnd, n, paras));
        if (ParaPosBefore(m.end, m.start)) std::swap(m.start, m.end);
    }

    // A caret move in any view, extending or not.
    void MoveCaret(TSpyEditor& v) {
        TModel& m = v.model;
        const bool extend = Rand(0, 1) == 1;
        const int32_t lines = v.LineCount();
        const int32_t dl = Rand(-8, 8);
        bool moves = true;
        if (Rand(0, 3) == 0) {
            v.MoveCaretTo(Rand(0, 2) ? Rand(1, lines) : lines, Rand(1, 30), extend);
        } else {
            moves = !(v.CaretLine() == lines && dl > 0); // nothing moves down from the last line
            v.MoveCaretBy(Rand(-3, 3), dl, extend, Rand(0, 1) == 1);
        }
        if (moves) {
            const TParaPos caret = Clamped(v, {v.CaretPara(), v.CaretPos()});
            m.caret = {v.CaretPara(), v.CaretPos()};
            if (!extend) {
                m.start = m.end = m.caretEnd = caret;
            } else {
                (m.caretEnd == m.start ? m.start : m.end) = caret;
                if (ParaPosBefore(m.end, m.start)) std::swap(m.start, m.end);
                m.caretEnd = caret;
            }
            Adopt(v);
            EXPECT_TRUE(v.CaretLine() >= v.TopLine() && v.CaretLine() < v.TopLine() + v.VisibleRows());
        }
        CheckAll(true);
    }
    void Adopt(TSpyEditor& v) { v.model.top = {v.TopPara(), v.TopLineOffset() + 1}; }

    void CheckAll(bool lines) {
        TZalParaList& list = views_[0]->ParaList();
        for (int i = 0; i < kMarkerCount; ++i) ASSERT_EQ(list.Marker(i), markers_[i]) << "bookmark " << i;
        for (TSpyEditor* v : views_) {
            const TModel& m = v->model;
            SCOPED_TRACE(testing::Message() << "view " << (std::find(views_.begin(), views_.end(), v) - views_.begin()));
            ASSERT_EQ(TParaPos({v->CaretPara(), v->CaretPos()}), m.caret);
            ASSERT_EQ(v->SelStart(), m.start);
            ASSERT_EQ(v->SelEnd(), m.end);
            ASSERT_EQ(v->SelCaretEnd(), m.caretEnd);
            ASSERT_EQ(TParaPos({v->TopPara(), v->TopLineOffset() + 1}), m.top);
            int col, offset;
            ASSERT_EQ(v->TopLine(), list.ParaPosToLine(m.top.Para, m.top.Pos, col));
            if (!lines) continue;
            // Each Line/Col names its Para/Pos.
            const struct { int32_t line, col; TParaPos at; } named[] = {
                {v->CaretLine(), v->CaretCol(), m.caret},
                {v->SelStartLine(), v->SelStartCol(), m.start},
                {v->SelEndLine(), v->SelEndCol(), m.end}};
            for (const auto& n : named) {
                ASSERT_EQ(list.LineToPara(n.line, offset), n.at.Para);
                ASSERT_EQ(offset + n.col, n.at.Pos);
                ASSERT_LE(n.col, list.LineLength(n.line) + 1) << (&n - named) << " para " << n.at.Para << " pos " << n.at.Pos << " len " << list.ParaLength(n.at.Para) << " line " << n.line << " wrap " << list.WordWrap();
            }
        }
    }

    std::mt19937 rng_;
    TForm form_{nullptr};
    std::vector<TSpyEditor*> views_;
    TParaPos markers_[kMarkerCount];
};

} // namespace

TEST(EditorViews, EveryViewFollowsTheEditsOfAnyView) {
    std::vector<uint32_t> seeds{11, 22, 33};
    int steps = 7000;
    if (const char* chosen = std::getenv("EDITOR_SEED")) seeds = {uint32_t(std::strtoul(chosen, nullptr, 10))}, steps = 21000;
    for (uint32_t seed : seeds) {
        SCOPED_TRACE(testing::Message() << "EDITOR_SEED=" << seed);
        TViewsRun run(seed);
        for (int step = 0; step < steps && !testing::Test::HasFatalFailure(); ++step) {
            SCOPED_TRACE(testing::Message() << "step " << step);
            if (step % 200 == 199) run.Relayout();
            else run.Step();
            if (step % 64 == 0) run.Drain();
        }
        if (testing::Test::HasFatalFailure()) return;
    }
}
