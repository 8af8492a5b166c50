// The editor's view core on a text of 2 million paragraphs wrapped at 80 columns: moving the
// caret to a random line, and the relayout after a change of the wrap column; the editing
// commands in the middle of an unwrapped text of the same size: a keystroke, Enter,
// Backspace joining two paragraphs, undo of a typed word. Each beside the text store's own
// figure for the same work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "components/Controls.h"
#include "components/ZalBase.h"
#include "components/ZalCmdCodes.h"
#include "editor/ZalEdit.h"
#include "platform/Application.h"

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
