// The editor's view core on a text of 2 million paragraphs wrapped at 80 columns: moving the
// caret to a random line, and the relayout after a change of the wrap column, each beside
// the text store's own figure for the same work. Then its display, shown offscreen on a
// 2-million-line text of its own: painting a 50-row page, scrolling by a line and by a
// page, and a keystroke with the repaint of its line, beside the same rows painted with
// plain canvas text calls.
// Last, the editing commands in the middle of an unwrapped text of the same size: a keystroke,
// Enter, Backspace joining two paragraphs, undo of a typed word, each beside the text
// store's own step.
#include <benchmark/benchmark.h>

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "components/Controls.h"
#include "components/ZalBase.h"
#include "components/ZalCmdCodes.h"
#include "editor/ZalEdit.h"
#include "platform/Application.h"
#include "platform/NativeWindow.h"

namespace {

constexpr int kParas = 2'000'000;

// Deterministic lines of 40 to 60 characters: words of 2 to 9 letters.
class LineMaker {
public:
    void Next(std::string& line) {
        line.clear();
        const size_t target = 40 + Rand() % 21;
        while (line.size() < target) {
            if (!line.empty()) line += ' ';
            for (uint32_t n = 2 + Rand() % 8; n > 0; --n) line += char('a' + Rand() % 26);
        }
    }
    uint32_t Rand() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return uint32_t(state_ >> 33);
    }

private:
    uint64_t state_ = 0x5eed;
};

// One editor without a window (nothing is painted), its text loaded and wrapped at 80.
TZalCustomEditor& TheEditor() {
    static TZalCustomEditor* editor = [] {
        EnsureApplication(); // fonts and cursors need the windowing system
        auto* e = new TZalCustomEditor(nullptr);
        LineMaker lines;
        std::string line;
        for (int i = 0; i < kParas; ++i) {
            lines.Next(line);
            e->AppendPara(line);
        }
        e->SetWrapColumn(80);
        e->SetWordWrap(true);
        e->MoveCaretTo(e->LineCount() / 2, 10, false);
        return e;
    }();
    return *editor;
}

void BM_EditorMoveCaretToRandomLine(benchmark::State& state) {
    TZalCustomEditor& editor = TheEditor();
    LineMaker pick;
    const int32_t lines = editor.LineCount();
    for (auto _ : state) editor.MoveCaretTo(int32_t(1 + pick.Rand() % uint32_t(lines)), 1 + int32_t(pick.Rand() % 60), false);
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_EditorMoveCaretToRandomLine)->Unit(benchmark::kMicrosecond);

// The store's part of it: finding a random display line.
void BM_ListGetLineTextRandomLine(benchmark::State& state) {
    TZalParaList& list = TheEditor().ParaList();
    LineMaker pick;
    const int32_t lines = list.LineCount();
    const char* text;
    int len;
    for (auto _ : state) benchmark::DoNotOptimize(list.GetLineText(int32_t(1 + pick.Rand() % uint32_t(lines)), text, len));
}
BENCHMARK(BM_ListGetLineTextRandomLine)->Unit(benchmark::kMicrosecond);

void BM_EditorRelayoutAfterWrapColumn(benchmark::State& state) {
    TZalCustomEditor& editor = TheEditor();
    int32_t column = 80;
    for (auto _ : state) {
        column = column == 80 ? 79 : 80;
        editor.SetWrapColumn(column); // re-wraps every paragraph, then lays the view out
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(editor.TextLength()));
}
BENCHMARK(BM_EditorRelayoutAfterWrapColumn)->Unit(benchmark::kMillisecond)->Iterations(4);

// The store's part of it: re-wrapping every paragraph, no view told.
void BM_ListRewrapAll(benchmark::State& state) {
    TZalParaList& list = TheEditor().ParaList();
    for (auto _ : state) list.RewrapAll();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(list.ByteCount()));
}
BENCHMARK(BM_ListRewrapAll)->Unit(benchmark::kMillisecond)->Iterations(4);

// --- the display ---------------------------------------------------------------------------

constexpr int kRows = 50;
constexpr int kWidth = 660;

// The floor: the page's rows drawn with one plain opaque text call each, as many rows as
// the paint's clip box reaches.
class TPlainRows : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> Lines;
    TFontDesc Font;
    int RowHeight = 1;
    int Left = 0;

protected:
    void Paint(TCanvas& canvas) override {
        canvas.SelectFont(Font);
        const TRect clip = canvas.GetClipBox();
        for (int row = clip.Top / RowHeight; row < kRows && row * RowHeight < clip.Bottom; ++row) {
            const TRect r{Left, row * RowHeight, Width(), (row + 1) * RowHeight};
            canvas.ExtTextOut(Left, r.Top + 1, ETO_OPAQUE | ETO_CLIPPED, &r, Lines[size_t(row)].data(),
                              Lines[size_t(row)].size());
        }
    }
};

struct TDisplay {
    QWidget Host;
    TForm Form{nullptr};
    TZalCustomEditor* Editor = nullptr;
    TPlainRows* Plain = nullptr;
    int64_t Steps = 0;
};

// A shown form with a 50-row editor in the middle of its own text (no other view to keep
// in step) and the floor control beside it.
TDisplay& TheDisplay() {
    static TDisplay* display = [] {
        EnsureApplication();
        auto* d = new TDisplay;
        SetParentWidget(d->Form.Window(), &d->Host);
        d->Host.resize(2 * kWidth + 40, 1000);
        d->Form.SetBounds(0, 0, 2 * kWidth + 40, 1000);
        NewComponent<TZalController>(&d->Form);
        TZalCustomEditor* e = d->Editor = NewComponent<TZalCustomEditor>(&d->Form);
        e->SetParent(&d->Form);
        LineMaker lines;
        std::string line;
        for (int i = 0; i < kParas; ++i) {
            lines.Next(line);
            e->AppendPara(line);
        }
        d->Form.HandleNeeded();
        d->Host.show();
        e->HandleNeeded();
        const int frame = e->Height() - e->ClientRect().Height();
        e->SetBounds(0, 0, kWidth, kRows * e->RowHeight() + frame);
        e->ResetScrollBars(false);
        e->SetTopLine(kParas / 2);
        e->MoveCaretTo(kParas / 2 + kRows / 2, 20, false);

        TPlainRows* p = d->Plain = NewComponent<TPlainRows>(&d->Form);
        p->SetParent(&d->Form);
        p->SetBounds(kWidth + 20, 0, kWidth, kRows * e->RowHeight());
        p->Font = FontDescOf(e->FixedFont().Font());
        p->RowHeight = e->RowHeight();
        p->Left = e->LeftMargin();
        for (int row = 0; row < kRows; ++row) p->Lines.push_back(e->GetPara(e->TopLine() + row));
        p->HandleNeeded();
        ProcessPendingEvents();
        return d;
    }();
    return *display;
}

// Every caret placement posts a status message: they are handled now and then, untimed.
void Settle(benchmark::State& state, TDisplay& d) {
    if (++d.Steps % 256 != 0) return;
    state.PauseTiming();
    ProcessPendingEvents();
    state.ResumeTiming();
}

void BM_DisplayPaintPage(benchmark::State& state) {
    TDisplay& d = TheDisplay();
    for (auto _ : state) {
        d.Editor->InvalidateAll(true);
        Settle(state, d);
    }
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_DisplayPaintPage)->Unit(benchmark::kMicrosecond);

void BM_DisplayPaintPageFloor(benchmark::State& state) {
    TDisplay& d = TheDisplay();
    for (auto _ : state) {
        InvalidateRect(d.Plain->Handle(), nullptr, 0);
        UpdateWindow(d.Plain->Handle());
    }
}
BENCHMARK(BM_DisplayPaintPageFloor)->Unit(benchmark::kMicrosecond);

// Alternately down and up, so that the view stays in the middle of the text.
void ScrollBench(benchmark::State& state, int32_t lines) {
    TDisplay& d = TheDisplay();
    for (auto _ : state) {
        d.Editor->Scroll(0, d.Steps % 2 ? -lines : lines);
        Settle(state, d);
    }
}
void BM_DisplayScrollLine(benchmark::State& state) {
    ScrollBench(state, 1);
}
BENCHMARK(BM_DisplayScrollLine)->Unit(benchmark::kMicrosecond);
void BM_DisplayScrollPage(benchmark::State& state) {
    ScrollBench(state, kRows);
}
BENCHMARK(BM_DisplayScrollPage)->Unit(benchmark::kMicrosecond);

// The floor of a one-line scroll and of a keystroke: one row painted.
void BM_DisplayPaintRowFloor(benchmark::State& state) {
    TDisplay& d = TheDisplay();
    const TRect row{0, 10 * d.Plain->RowHeight, d.Plain->Width(), 11 * d.Plain->RowHeight};
    for (auto _ : state) {
        InvalidateRect(d.Plain->Handle(), &row, 0);
        UpdateWindow(d.Plain->Handle());
    }
}
BENCHMARK(BM_DisplayPaintRowFloor)->Unit(benchmark::kMicrosecond);

// A typed character, then a backspace, each as the editing commands do it: the text store
// changes, the repaint range is invalidated, the caret moves and the window is updated.
void BM_DisplayKeystrokeWithRepaint(benchmark::State& state) {
    TDisplay& d = TheDisplay();
    TZalCustomEditor& e = *d.Editor;
    TZalParaList& list = e.ParaList();
    for (auto _ : state) {
        const int32_t para = e.CaretPara(), pos = e.CaretPos();
        const bool type = d.Steps % 2 == 0;
        if (type)
            list.InsertTextAt(&e, para, 1, "x", pos);
        else
            list.DeleteTextAt(&e, para, 1, pos - 1);
        e.InvalidateLines(list.RepaintFrom(), list.RepaintTo());
        e.MoveCaretToPara(para, type ? pos + 1 : pos - 1, false);
        UpdateWindow(e.Handle());
        Settle(state, d);
    }
}
BENCHMARK(BM_DisplayKeystrokeWithRepaint)->Unit(benchmark::kMicrosecond);

// --- editing commands -------------------------------------------------------------------

// An editor whose window is never shown: invalidation and the status message happen, but
// nothing is painted, so the pending full repaint that would make invalidation free is
// dropped by hand.
class TUnpaintedEditor : public TZalCustomEditor {
public:
    using TZalCustomEditor::TZalCustomEditor;
    void ForgetRepaint() { invalidated_ = false; }
};

// An unwrapped text; the caret in the middle of it.
TUnpaintedEditor& TheCommandEditor() {
    static TUnpaintedEditor* editor = [] {
        EnsureApplication();
        auto* form = new TForm(nullptr);
        form->SetBounds(0, 0, 800, 600);
        NewComponent<TZalController>(form);
        auto* e = NewComponent<TUnpaintedEditor>(form);
        e->SetParent(form);
        e->SetBounds(0, 0, 780, 580);
        e->HandleNeeded();
        LineMaker lines;
        std::string line;
        for (int i = 0; i < kParas; ++i) {
            lines.Next(line);
            e->AppendPara(line);
        }
        e->MoveCaretToPara(kParas / 2, 20, false);
        return e;
    }();
    return *editor;
}

// Where the editing benchmarks work: the middle paragraph, position 20.
constexpr int32_t kMidPara = kParas / 2;
constexpr int kMidPos = 20;

void BM_EditorKeystroke(benchmark::State& state) {
    TUnpaintedEditor& editor = TheCommandEditor();
    TZalParaList& list = editor.ParaList();
    editor.MoveCaretToPara(kMidPara, kMidPos, false);
    editor.ForgetRepaint();
    int typed = 0;
    for (auto _ : state) {
        editor.ProcessCommand(ccInsertChar, 'x');
        if (++typed == 40) { // take the run out again before the caret reaches the window's edge
            state.PauseTiming();
            list.DeleteTextAt(nullptr, kMidPara, typed, kMidPos);
            editor.MoveCaretToPara(kMidPara, kMidPos, false);
            ProcessPendingEvents();
            editor.ForgetRepaint();
            typed = 0;
            state.ResumeTiming();
        }
    }
    list.DeleteTextAt(nullptr, kMidPara, typed, kMidPos);
    state.counters["MB"] = double(editor.TextLength()) / 1e6;
}
BENCHMARK(BM_EditorKeystroke)->Unit(benchmark::kMicrosecond);

// The store's part of it: one character inserted, no view told.
void BM_ListInsertChar(benchmark::State& state) {
    TZalParaList& list = TheCommandEditor().ParaList();
    int typed = 0;
    for (auto _ : state) {
        list.InsertTextAt(nullptr, kMidPara, 1, "x", kMidPos + typed);
        if (++typed == 1000) {
            state.PauseTiming();
            list.DeleteTextAt(nullptr, kMidPara, typed, kMidPos);
            typed = 0;
            state.ResumeTiming();
        }
    }
    list.DeleteTextAt(nullptr, kMidPara, typed, kMidPos);
}
BENCHMARK(BM_ListInsertChar)->Unit(benchmark::kMicrosecond);

// Each iteration readies the text with the clock stopped (the posted status messages
// handled too), then times one step.
template <class Ready, class Step> void ReadyThenTime(benchmark::State& state, Ready ready, Step step) {
    for (auto _ : state) {
        state.PauseTiming();
        ready();
        ProcessPendingEvents();
        state.ResumeTiming();
        step();
    }
}

// The middle paragraph split at the caret, and joined back.
void Split(TZalParaList& list) {
    int indent = 0;
    list.SplitPara(nullptr, kMidPara, kMidPos, false, indent, 0);
}
void Join(TZalParaList& list) { list.JoinParas(nullptr, kMidPara, kMidPos); }

void BM_EditorEnter(benchmark::State& state) {
    TZalCustomEditor& editor = TheCommandEditor();
    TZalParaList& list = editor.ParaList();
    bool split = false;
    auto ready = [&] {
        if (split) Join(list);
        editor.MoveCaretToPara(kMidPara, kMidPos, false);
        split = true;
    };
    ReadyThenTime(state, ready, [&] { editor.ProcessCommand(ccNewLine, 0); });
    if (split) Join(list);
}
BENCHMARK(BM_EditorEnter)->Unit(benchmark::kMicrosecond);

void BM_ListSplitPara(benchmark::State& state) {
    TZalParaList& list = TheCommandEditor().ParaList();
    bool split = false;
    ReadyThenTime(state, [&] { if (std::exchange(split, true)) Join(list); }, [&] { Split(list); });
    if (split) Join(list);
}
BENCHMARK(BM_ListSplitPara)->Unit(benchmark::kMicrosecond);

void BM_EditorBackspaceJoin(benchmark::State& state) {
    TZalCustomEditor& editor = TheCommandEditor();
    TZalParaList& list = editor.ParaList();
    auto ready = [&] {
        Split(list);
        editor.MoveCaretToPara(kMidPara + 1, 1, false);
    };
    ReadyThenTime(state, ready, [&] { editor.ProcessCommand(ccBack, 0); });
}
BENCHMARK(BM_EditorBackspaceJoin)->Unit(benchmark::kMicrosecond);

void BM_ListJoinParas(benchmark::State& state) {
    TZalParaList& list = TheCommandEditor().ParaList();
    ReadyThenTime(state, [&] { Split(list); }, [&] { Join(list); });
}
BENCHMARK(BM_ListJoinParas)->Unit(benchmark::kMicrosecond);

// A word of five letters typed at the caret, as typing records it (one merged record).
void TypeWord(TZalParaList& list) {
    for (int i = 0; i < 5; ++i) list.InsertTextAt(nullptr, kMidPara, 1, "w", kMidPos + i);
}

void BM_EditorUndoTypedWord(benchmark::State& state) {
    TZalCustomEditor& editor = TheCommandEditor();
    TZalParaList& list = editor.ParaList();
    auto ready = [&] {
        TypeWord(list);
        editor.MoveCaretToPara(kMidPara, kMidPos + 5, false);
    };
    ReadyThenTime(state, ready, [&] { editor.ProcessCommand(ccUndo, 0); });
}
BENCHMARK(BM_EditorUndoTypedWord)->Unit(benchmark::kMicrosecond);

void BM_ListUndoTypedWord(benchmark::State& state) {
    TZalParaList& list = TheCommandEditor().ParaList();
    int32_t para = 0;
    int pos = 0;
    ReadyThenTime(state, [&] { TypeWord(list); }, [&] { list.UndoGroup(nullptr, para, pos); });
}
BENCHMARK(BM_ListUndoTypedWord)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
