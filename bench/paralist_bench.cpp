// The paragraph list on a 100 MB text of 2 million paragraphs: loading, random and
// sequential access, re-wrapping, one keystroke, and a 10 MB block insertion.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/Words.h"
#include "text/BlockPool.h"
#include "text/ParaList.h"

namespace {

constexpr int kParas = 2'000'000;

// The text as read from a file: lines ended by line feeds.
struct Source {
    std::string text;
    std::vector<uint32_t> starts; // start of each line, plus one past the last line end
    size_t lineBytes = 0;          // characters without the line ends
};

const Source& TheSource() {
    static const Source source = [] {
        Source s;
        Words words(0x5eed);
        s.text.reserve(size_t(kParas) * 53);
        for (int i = 0; i < kParas; ++i) {
            s.starts.push_back(uint32_t(s.text.size()));
            words.Line(s.text);
            s.text.push_back('\n');
        }
        s.starts.push_back(uint32_t(s.text.size()));
        s.lineBytes = s.text.size() - size_t(kParas);
        return s;
    }();
    return source;
}

void LoadInto(TZalParaList& list, const Source& s) {
    for (int i = 0; i < kParas; ++i) {
        const uint32_t at = s.starts[size_t(i)];
        list.AddLoadedPara(s.text.data() + at, int(s.starts[size_t(i) + 1] - at - 1), false);
    }
}

// Resident memory of the process in bytes ("VmRSS", or the peak "VmHWM").
size_t Resident(const char* field) {
    size_t kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const size_t n = std::strlen(field);
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, field, n) == 0 && line[n] == ':') kb = std::strtoull(line + n + 1, nullptr, 10);
        std::fclose(f);
    }
    return kb * 1024;
}

// Memory the allocators hold: malloc's blocks in use and the block pool's chunks.
size_t Held() { return mallinfo2().uordblks + PoolHeldBytes(); }

// Starts a new peak: the kernel sets the high-water mark back to the current size.
void ResetPeakResident() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// One list loaded once, shared by the access benchmarks.
TZalParaList& TheList() {
    static std::unique_ptr<TZalParaList> list = [] {
        auto l = std::make_unique<TZalParaList>(nullptr, false);
        LoadInto(*l, TheSource());
        return l;
    }();
    return *list;
}

// Floor of loading: finding every line end of the raw bytes.
void BM_LoadFloor_Memchr(benchmark::State& state) {
    const Source& s = TheSource();
    for (auto _ : state) {
        size_t lines = 0;
        const char* p = s.text.data();
        const char* end = p + s.text.size();
        while (const void* lf = std::memchr(p, '\n', size_t(end - p))) {
            ++lines;
            p = static_cast<const char*>(lf) + 1;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.text.size()));
}
BENCHMARK(BM_LoadFloor_Memchr)->Unit(benchmark::kMillisecond);

void BM_AddLoadedPara(benchmark::State& state) {
    const Source& s = TheSource();
    const double mb = double(s.text.size()) / (1 << 20);
    double overhead = 0, steady = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ResetPeakResident();
        const size_t residentBefore = Resident("VmRSS");
        const size_t before = Held();
        state.ResumeTiming();
        auto list = std::make_unique<TZalParaList>(nullptr, false);
        LoadInto(*list, s);
        state.PauseTiming();
        const size_t after = Held();
        overhead = (double(after) - double(before) - double(s.lineBytes)) / kParas;
        steady = double(Resident("VmRSS")) - double(residentBefore);
        peak = double(Resident("VmHWM")) - double(residentBefore);
        list.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.text.size()));
    state.counters["bytes_per_para_beyond_text"] = overhead;
    state.counters["overhead_vs_file"] = overhead * kParas / double(s.text.size());
    // Resident memory the loaded list added, per MB of file, and the part beyond the text.
    state.counters["resident_MB_per_MB"] = steady / (1 << 20) / mb;
    state.counters["peak_resident_MB_per_MB"] = peak / (1 << 20) / mb;
    state.counters["resident_beyond_text_vs_file"] = (steady - double(s.lineBytes)) / double(s.text.size());
}
BENCHMARK(BM_AddLoadedPara)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FindParaRandom(benchmark::State& state) {
    TZalParaList& list = TheList();
    Words pick(7);
    for (auto _ : state) benchmark::DoNotOptimize(list.FindPara(int32_t(1 + pick.Next() % kParas)));
}
BENCHMARK(BM_FindParaRandom)->Unit(benchmark::kMicrosecond);

void BM_GetLineTextWalkWrapped80(benchmark::State& state) {
    TZalParaList& list = TheList();
    list.SetWrapColumn(80);
    list.SetWordWrap(true);
    for (auto _ : state) {
        const char* text;
        int len;
        size_t total = 0;
        const int32_t lines = list.LineCount();
        for (int32_t line = 1; line <= lines; ++line) {
            list.GetLineText(line, text, len);
            total += size_t(len);
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["lines"] = double(list.LineCount());
    list.SetWordWrap(false);
}
BENCHMARK(BM_GetLineTextWalkWrapped80)->Unit(benchmark::kMillisecond);

void BM_RewrapAllAt80(benchmark::State& state) {
    TZalParaList& list = TheList();
    list.SetWrapColumn(80);
    for (auto _ : state) {
        list.SetWordWrap(true); // re-wraps every paragraph
        state.PauseTiming();
        list.SetWordWrap(false);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(TheSource().text.size()));
}
BENCHMARK(BM_RewrapAllAt80)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_InsertTextAtMiddle(benchmark::State& state) {
    TZalParaList& list = TheList();
    const int32_t middle = kParas / 2;
    const int start = list.ParaLength(middle);
    int pos = start + 1;
    for (auto _ : state) {
        list.InsertTextAt(nullptr, middle, 1, "x", pos++);
        if (pos > start + 1000) { // keep the paragraph short
            state.PauseTiming();
            list.DeleteTextAt(nullptr, middle, pos - start - 1, start + 1);
            pos = start + 1;
            state.ResumeTiming();
        }
    }
    list.DeleteTextAt(nullptr, middle, pos - start - 1, start + 1);
}
BENCHMARK(BM_InsertTextAtMiddle)->Unit(benchmark::kNanosecond);

// A growing replacement, as replace-all makes it (3 characters by 5).
void BM_ReplaceTextAtMiddle(benchmark::State& state) {
    TZalParaList& list = TheList();
    const int32_t middle = kParas / 2;
    int grown = 0;
    for (auto _ : state) {
        list.ReplaceTextAt(nullptr, middle, 5, "xxxxx", 3, 1);
        if ((grown += 2) > 1000) { // keep the paragraph short
            state.PauseTiming();
            list.DeleteTextAt(nullptr, middle, grown, 1);
            grown = 0;
            state.ResumeTiming();
        }
    }
    list.DeleteTextAt(nullptr, middle, grown, 1);
}
BENCHMARK(BM_ReplaceTextAtMiddle)->Unit(benchmark::kNanosecond);

void BM_InsertBlock10MB(benchmark::State& state) {
    std::string block;
    Words words(99);
    while (block.size() < 10u << 20) {
        words.Line(block);
        block += "\r\n";
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<TZalParaList>(nullptr, false);
        list->AddLoadedPara("head tail", 9, false);
        state.ResumeTiming();
        int32_t para = 1;
        int pos = 6;
        benchmark::DoNotOptimize(list->InsertBlock(nullptr, para, block, pos));
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}
BENCHMARK(BM_InsertBlock10MB)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
