// Paragraph wrapping: incremental re-breaking after an edit against a full re-break,
// typing into a long paragraph, and re-break throughput beside a memchr floor.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "text/ParaNode.h"

namespace {

constexpr int kWidth = 80;
constexpr int kTab = 8;
constexpr int kLength = 32767;

// Deterministic pseudo-random words of 1 to 10 letters, one blank between them.
std::string Words(size_t length, uint32_t seed, bool tabs = false) {
    std::mt19937 rng(seed);
    std::string s;
    s.reserve(length + 16);
    while (s.size() < length) {
        const int n = 1 + static_cast<int>(rng() % 10);
        for (int i = 0; i < n; ++i)
            s.push_back(static_cast<char>('a' + rng() % 26));
        s.push_back(tabs && rng() % 8 == 0 ? '\t' : ' ');
    }
    s.resize(length);
    return s;
}

const std::string& Paragraph() {
    static const std::string s = Words(kLength, 42);
    return s;
}

std::unique_ptr<TParaNode> Node(const std::string& s) {
    return std::make_unique<TParaNode>(s.data(), static_cast<uint16_t>(s.size()), kWidth, kTab);
}

// Characters inserted at the start come from words too, so that the start of the
// paragraph keeps words of ordinary length (repeating one letter would build one
// ever longer word there, cut hard on every line).
const std::string& Typed() {
    static const std::string s = Words(10000, 7);
    return s;
}

void BM_InsertAtStartIncremental(benchmark::State& state) {
    auto node = Node(Paragraph());
    int32_t first = 0, last = 0;
    size_t next = 0;
    for (auto _ : state) {
        if (node->Length() >= kLength + 2000) { // keep the paragraph near its size
            state.PauseTiming();
            node = Node(Paragraph());
            state.ResumeTiming();
        }
        node->InsertChars(1, &Typed()[next++ % Typed().size()], 1, kWidth, kTab, first, last);
        benchmark::DoNotOptimize(last);
    }
    state.counters["lines"] = static_cast<double>(node->LineCount());
}
BENCHMARK(BM_InsertAtStartIncremental);

void BM_InsertAtStartThenFullRewrap(benchmark::State& state) {
    auto node = Node(Paragraph());
    int32_t first = 0, last = 0;
    size_t next = 0;
    for (auto _ : state) {
        if (node->Length() >= kLength + 2000) {
            state.PauseTiming();
            node = Node(Paragraph());
            state.ResumeTiming();
        }
        // The same edit, its table rebuilt from scratch (no wrap while editing).
        node->InsertChars(1, &Typed()[next++ % Typed().size()], 1, kUnwrappedWidth, kTab, first,
                          last);
        node->Rewrap(kWidth, kTab);
        benchmark::DoNotOptimize(node->LineCount());
    }
}
BENCHMARK(BM_InsertAtStartThenFullRewrap);

void BM_Type10000IntoMiddle(benchmark::State& state) {
    const std::string& typed = Typed();
    for (auto _ : state) {
        state.PauseTiming();
        auto node = Node(Paragraph());
        state.ResumeTiming();
        int pos = kLength / 2;
        int32_t first = 0, last = 0;
        for (char ch : typed)
            node->InsertChars(pos++, &ch, 1, kWidth, kTab, first, last);
        benchmark::DoNotOptimize(node->LineCount());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(typed.size()));
}
BENCHMARK(BM_Type10000IntoMiddle)->Unit(benchmark::kMillisecond);

// The common case: one keystroke into a line of about 50 characters, wrapped at 80 (the
// character typed, then taken away again so that the line keeps its length).
void BM_KeystrokeShortParagraph(benchmark::State& state) {
    const std::string line = Words(50, 9);
    auto node = Node(line);
    int32_t first = 0, last = 0;
    for (auto _ : state) {
        node->InsertChars(25, "k", 1, kWidth, kTab, first, last);
        node->DeleteChars(25, 1, kWidth, kTab, first, last);
        benchmark::DoNotOptimize(last);
    }
    state.SetItemsProcessed(state.iterations() * 2); // two edits per iteration
}
BENCHMARK(BM_KeystrokeShortParagraph);

void Rewrap(benchmark::State& state, const std::string& text) {
    auto node = Node(text);
    for (auto _ : state) {
        node->Rewrap(kWidth, kTab);
        benchmark::DoNotOptimize(node->LineCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_Rewrap(benchmark::State& state) {
    Rewrap(state, Paragraph());
}
BENCHMARK(BM_Rewrap);

void BM_RewrapWithTabs(benchmark::State& state) {
    static const std::string tabbed = Words(kLength, 42, true);
    Rewrap(state, tabbed);
}
BENCHMARK(BM_RewrapWithTabs);

// Floor: one pass of memchr over the same bytes.
void BM_FloorMemchr(benchmark::State& state) {
    const std::string& s = Paragraph();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(s.data(), '\t', s.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.size()));
}
BENCHMARK(BM_FloorMemchr);

// Floor of an insertion at the start: moving the paragraph's bytes up by one.
void BM_FloorMemmove(benchmark::State& state) {
    std::string buf = Paragraph() + std::string(16, ' ');
    for (auto _ : state) {
        std::memmove(buf.data() + 1, buf.data(), kLength);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kLength));
}
BENCHMARK(BM_FloorMemmove);

} // namespace

BENCHMARK_MAIN();
