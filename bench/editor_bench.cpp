// The editor's view core on a text of 2 million paragraphs wrapped at 80 columns: moving the
// caret to a random line, and the relayout after a change of the wrap column, each beside
// the text store's own figure for the same work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

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

} // namespace

BENCHMARK_MAIN();
