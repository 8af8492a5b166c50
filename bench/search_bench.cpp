// The editor's search and replace over 100 MB in 2 million paragraphs, each beside its
// floor on the same bytes held in one buffer: memmem, and memmem with a copy into a new
// buffer for replacing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "Words.h"
#include "editor/ZalEdit.h"
#include "platform/Application.h"

namespace {

constexpr int kParas = 2'000'000;
// Every 20th line starts with this word (100,000 times); the lower-case random words
// never hold it.
constexpr std::string_view kWord = "Fox";
constexpr std::string_view kLongerWord = "Quail";
// Absent from the text: the random words are lower-case.
constexpr std::string_view kAbsent = "qzkvjxwpybnM";

struct TText {
    TZalCustomEditor* editor;
    std::string bytes; // the same text as one buffer, lines ended by CR LF
};

TText& TheText() {
    static TText* text = [] {
        EnsureApplication(); // the hourglass cursor needs the windowing system
        auto* t = new TText{new TZalCustomEditor(nullptr), {}};
        t->bytes.reserve(size_t(kParas) * 53);
        Words words(0x5eed);
        std::string line;
        for (int i = 0; i < kParas; ++i) {
            line.clear();
            if (i % 20 == 0) (line += kWord) += ' ';
            words.Line(line);
            t->editor->AppendPara(line);
            (t->bytes += line) += "\r\n";
        }
        return t;
    }();
    return *text;
}

void Report(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

// --- an absent pattern ---------------------------------------------------------------------

void BM_FloorMemmemAbsent(benchmark::State& state) {
    const std::string& bytes = TheText().bytes;
    for (auto _ : state)
        benchmark::DoNotOptimize(memmem(bytes.data(), bytes.size(), kAbsent.data(), kAbsent.size()));
    Report(state, TheText().bytes.size());
}
BENCHMARK(BM_FloorMemmemAbsent)->Unit(benchmark::kMillisecond);

void BM_SearchAbsentMatchCase(benchmark::State& state) {
    TZalCustomEditor& editor = *TheText().editor;
    for (auto _ : state) {
        if (editor.Search(kAbsent, soMatchCase | soGlobal)) state.SkipWithError("found");
    }
    Report(state, TheText().bytes.size());
}
BENCHMARK(BM_SearchAbsentMatchCase)->Unit(benchmark::kMillisecond);

void BM_SearchAbsentAnyCase(benchmark::State& state) {
    TZalCustomEditor& editor = *TheText().editor;
    for (auto _ : state) {
        if (editor.Search(kAbsent, soGlobal)) state.SkipWithError("found");
    }
    Report(state, TheText().bytes.size());
}
BENCHMARK(BM_SearchAbsentAnyCase)->Unit(benchmark::kMillisecond);

// --- replacing every occurrence of a word by a longer one ----------------------------------

// What a replace-all cannot beat: finding the occurrences and writing the new text into
// a buffer of its own.
void BM_FloorMemmemCopy(benchmark::State& state) {
    const std::string& bytes = TheText().bytes;
    int64_t found = 0;
    for (auto _ : state) {
        char* out = static_cast<char*>(std::malloc(bytes.size() * 2));
        char* to = out;
        const char* from = bytes.data();
        const char* end = from + bytes.size();
        while (const void* hit = memmem(from, size_t(end - from), kWord.data(), kWord.size())) {
            const auto* at = static_cast<const char*>(hit);
            std::memcpy(to, from, size_t(at - from));
            to += at - from;
            std::memcpy(to, kLongerWord.data(), kLongerWord.size());
            to += kLongerWord.size();
            from = at + kWord.size();
            ++found;
        }
        std::memcpy(to, from, size_t(end - from));
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    state.counters["replaced"] = double(found) / double(state.iterations());
    Report(state, TheText().bytes.size());
}
BENCHMARK(BM_FloorMemmemCopy)->Unit(benchmark::kMillisecond);

void BM_ReplaceAllByALongerWord(benchmark::State& state) {
    TZalCustomEditor& editor = *TheText().editor;
    int64_t replaced = 0;
    for (auto _ : state) {
        replaced += editor.Replace(kWord, kLongerWord, soReplaceAll | soGlobal | soMatchCase);
        state.PauseTiming();
        editor.Replace(kLongerWord, kWord, soReplaceAll | soGlobal | soMatchCase);
        state.ResumeTiming();
    }
    state.counters["replaced"] = double(replaced) / double(state.iterations());
    Report(state, TheText().bytes.size());
}
BENCHMARK(BM_ReplaceAllByALongerWord)->Unit(benchmark::kMillisecond);

// The same with the view scrolled to the middle of the text: the replacements before it
// move its top line, which must not cost a walk through the text each.
void BM_ReplaceAllBeforeTheView(benchmark::State& state) {
    TZalCustomEditor& editor = *TheText().editor;
    editor.SetTopLine(editor.LineCount() / 2);
    editor.MoveCaretTo(editor.LineCount() / 2, 1, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(editor.Replace(kWord, kLongerWord, soReplaceAll | soGlobal | soMatchCase));
        state.PauseTiming();
        editor.Replace(kLongerWord, kWord, soReplaceAll | soGlobal | soMatchCase);
        state.ResumeTiming();
    }
    editor.SetTopLine(1);
    Report(state, TheText().bytes.size());
}
BENCHMARK(BM_ReplaceAllBeforeTheView)->Unit(benchmark::kMillisecond);

// --- a whole-word search for a word found inside many others -------------------------------

// Every whole-word match of "ab", one Find Next after another from the start.
void BM_SearchWholeWordEveryMatch(benchmark::State& state) {
    TZalCustomEditor& editor = *TheText().editor;
    int64_t found = 0;
    for (auto _ : state) {
        editor.MoveCaretToPara(1, 1, false);
        while (editor.Search("ab", soMatchCase | soWholeWords)) ++found;
    }
    state.counters["matches"] = double(found) / double(state.iterations());
    Report(state, TheText().bytes.size());
}
BENCHMARK(BM_SearchWholeWordEveryMatch)->Unit(benchmark::kMillisecond);

// The unit of a replace-all: one growing replacement in the middle of the text through
// the editor (its undo record, the views told), the view's top 1000 paragraphs after it.
void BM_ReplaceTextAtBeforeTheView(benchmark::State& state) {
    TZalCustomEditor& editor = *TheText().editor;
    TZalParaList& list = editor.ParaList();
    const int32_t middle = kParas / 2;
    editor.SetTopLine(middle + 1000);
    int grown = 0;
    for (auto _ : state) {
        list.ReplaceTextAt(&editor, middle, 5, "vvvvv", 3, 1);
        if ((grown += 2) > 1000) { // keep the paragraph short
            state.PauseTiming();
            list.DeleteTextAt(&editor, middle, grown, 1);
            grown = 0;
            state.ResumeTiming();
        }
    }
    list.DeleteTextAt(&editor, middle, grown, 1);
    editor.SetTopLine(1);
}
BENCHMARK(BM_ReplaceTextAtBeforeTheView)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
