// Loading and saving a 100 MB, 2-million-line text file in LF and CR LF, each beside its
// floor: reading the file into a fresh buffer and finding its line ends with memchr, and
// writing the raw bytes with fwrite (neither side syncs to the device). Then the same
// through the text file editor, whose save syncs, beside a floor that syncs too.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "bench/Words.h"
#include "editor/TextFileEditor.h"
#include "editor/TextFileLoader.h"
#include "editor/TextFileSaver.h"
#include "platform/Application.h"
#include "text/ParaList.h"

namespace {

constexpr int kLines = 2'000'000;

struct TTestFile {
    std::string Path;
    std::string Bytes;
};

// The generated file of a line-end style (0: LF, 1: CR LF), written once per run.
const TTestFile& TestFile(int style) {
    static TTestFile files[2];
    TTestFile& f = files[style];
    if (f.Path.empty()) {
        Words words(0x5eed);
        f.Bytes.reserve(size_t(kLines) * 54);
        for (int i = 0; i < kLines; ++i) {
            words.Line(f.Bytes);
            f.Bytes += style ? "\r\n" : "\n";
        }
        f.Path = "/tmp/marvolt-textfile-bench-" + std::to_string(getpid()) + (style ? "-crlf" : "-lf");
        std::ofstream(f.Path, std::ios::binary) << f.Bytes;
        std::atexit([] {
            for (const TTestFile& t : files)
                if (!t.Path.empty()) std::remove(t.Path.c_str());
        });
    }
    return f;
}

// Resident memory in bytes ("VmRSS"), or its peak ("VmHWM").
double Resident(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field) + 1) * 1024;
    return 0;
}

void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_LoadFloor(benchmark::State& state) {
    const TTestFile& f = TestFile(int(state.range(0)));
    for (auto _ : state) {
        const int fd = open(f.Path.c_str(), O_RDONLY);
        std::unique_ptr<char[]> buffer(new char[f.Bytes.size()]);
        size_t have = 0;
        for (ssize_t n; (n = read(fd, buffer.get() + have, f.Bytes.size() - have)) > 0;) have += size_t(n);
        close(fd);
        size_t lines = 0;
        for (const char* p = buffer.get(); (p = static_cast<const char*>(
                                                 std::memchr(p, '\n', size_t(buffer.get() + have - p))));
             ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
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
    for (auto _ : state) {
        std::FILE* file = std::fopen(out.c_str(), "wb");
        std::fwrite(f.Bytes.data(), 1, f.Bytes.size(), file);
        if (state.range(1) && std::fflush(file) == 0) fsync(fileno(file));
        std::fclose(file);
    }
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
