// Loading and saving a 100 MB, 2-million-line text file in LF and CR LF, each beside its
// floor: reading the file into a fresh buffer and finding its line ends with memchr, and
// writing the raw bytes with fwrite (neither side syncs to the device). Then the same
// through the text file editor, whose save syncs, beside a floor that syncs too.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/BenchText.h"
#include "editor/TextFileEditor.h"
#include "editor/TextFileLoader.h"
#include "editor/TextFileSaver.h"
#include "platform/Application.h"
#include "text/ParaList.h"

namespace {

using namespace bench;
using TTestFile = TTextFile;

// The generated file of a line-end style (0: LF, 1: CR LF).
const TTestFile& TestFile(int style) { return TextFile("textfile", style != 0, false); }

void BM_LoadFloor(benchmark::State& state) {
    const TTestFile& f = TestFile(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(ReadAndCountLines(f, false));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.Bytes.size()));
}
BENCHMARK(BM_LoadFloor)->Arg(0)->Arg(1)->ArgName("crlf")->Unit(benchmark::kMillisecond);

// Times load(), which fills the text that count() then counts the paragraphs of; free()
// lets the text go outside the timing, and its memory goes back to the system, so that
// every load pays for touching new pages as its floor does. Reports resident memory per
// MB of file.
template <class Load, class Count, class Free>
void MeasureLoad(benchmark::State& state, const TTestFile& f, Load&& load, Count&& count, Free&& free) {
    const double mb = double(f.Bytes.size()) / (1 << 20);
    double steady = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = Resident("VmRSS:");
        ResetPeakResident();
        state.ResumeTiming();
        load();
        state.PauseTiming();
        steady = (Resident("VmRSS:") - before) / (1 << 20) / mb;
        peak = (Resident("VmHWM:") - before) / (1 << 20) / mb;
        if (count() != kLines + 1) state.SkipWithError("wrong paragraph count");
        free();
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.Bytes.size()));
    state.counters["resident_MB_per_MB"] = steady;
    state.counters["peak_MB_per_MB"] = peak;
}

void BM_Load(benchmark::State& state) {
    const TTestFile& f = TestFile(int(state.range(0)));
    std::unique_ptr<TZalParaList> list;
    MeasureLoad(
        state, f,
        [&] {
            list = std::make_unique<TZalParaList>(nullptr, false);
            LoadTextFileInto(*list, f.Path, true);
        },
        [&] { return list->ParaCount(); }, [&] { list.reset(); });
}
BENCHMARK(BM_Load)->Arg(0)->Arg(1)->ArgName("crlf")->Unit(benchmark::kMillisecond)->Iterations(5);

// One text file editor without a window (nothing is painted).
TZalTextFileEditor& TheEditor() {
    static TZalTextFileEditor* editor = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0); // fonts and cursors need the windowing
        EnsureApplication();                       // system, not a display
        return new TZalTextFileEditor(nullptr);
    }();
    return *editor;
}

void BM_EditorLoad(benchmark::State& state) {
    const TTestFile& f = TestFile(int(state.range(0)));
    TZalTextFileEditor& editor = TheEditor();
    MeasureLoad(
        state, f, [&] { editor.LoadFromFile(f.Path); }, [&] { return editor.ParaCount(); },
        [&] { editor.Clear(false); });
}
BENCHMARK(BM_EditorLoad)->Arg(0)->Arg(1)->ArgName("crlf")->Unit(benchmark::kMillisecond)->Iterations(5);

// The loader alone: reading and cutting lines, handing them to a sink that keeps nothing.
void BM_LoadLinesOnly(benchmark::State& state) {
    const TTestFile& f = TestFile(int(state.range(0)));
    for (auto _ : state) {
        size_t bytes = 0;
        LoadTextFile(f.Path, TLoadLimits{}, [&bytes](std::string_view line) {
            bytes += line.size();
            return TEditError(0);
        });
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.Bytes.size()));
}
BENCHMARK(BM_LoadLinesOnly)->Arg(0)->Arg(1)->ArgName("crlf")->Unit(benchmark::kMillisecond);

// fwrite, and with sync (range 1) fsync before the close, as a save that reaches the device.
void BM_SaveFloor(benchmark::State& state) {
    const TTestFile& f = TestFile(int(state.range(0)));
    const std::string out = f.Path + ".out";
    for (auto _ : state) WriteBytes(out, f.Bytes, state.range(1) != 0);
    std::remove(out.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.Bytes.size()));
}
BENCHMARK(BM_SaveFloor)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"crlf", "sync"})->Unit(benchmark::kMillisecond);

// The saved file must be as large as the generated one; it is removed after.
void CheckSaved(benchmark::State& state, const TTestFile& f, const std::string& out) {
    std::ifstream saved(out, std::ios::binary | std::ios::ate);
    if (size_t(saved.tellg()) != f.Bytes.size()) state.SkipWithError("saved size differs");
    std::remove(out.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.Bytes.size()));
}

void BM_Save(benchmark::State& state) {
    const TTestFile& f = TestFile(int(state.range(0)));
    const std::string out = f.Path + ".out";
    TZalParaList list(nullptr, false);
    const TLoadReport report = LoadTextFileInto(list, f.Path, true);
    TSaveOptions options;
    options.LineEnd = report.LineEnd;
    options.Sync = false;
    for (auto _ : state) SaveTextFile(list, out, options);
    CheckSaved(state, f, out);
}
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->ArgName("crlf")->Unit(benchmark::kMillisecond);

// Through the editor: the file and its directory are synced, as every save does
// (compare with the floor that syncs).
void BM_EditorSave(benchmark::State& state) {
    const TTestFile& f = TestFile(int(state.range(0)));
    const std::string out = f.Path + ".out";
    TZalTextFileEditor& editor = TheEditor();
    editor.LoadFromFile(f.Path);
    for (auto _ : state) editor.SaveToFile(out);
    CheckSaved(state, f, out);
    editor.Clear(false);
}
BENCHMARK(BM_EditorSave)->Arg(0)->Arg(1)->ArgName("crlf")->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
