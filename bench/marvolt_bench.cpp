// The whole editor as the program uses it: a text file editor with its controller on a
// shown (offscreen) form, on a 100 MB file of 2 million lines. Each job is measured beside
// its floor in the same run: loading (file to first paint) beside read + memchr; a
// keystroke, page down and Ctrl+End beside plain painting of the same rows; an absent
// search beside memmem; replace-all beside memmem + copy; word wrap on beside the text
// store's own re-wrap; saving beside fwrite, without and with the sync.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "bench/BenchDisplay.h"
#include "bench/BenchText.h"
#include "components/ZalCmdCodes.h"
#include "editor/TextFileEditor.h"
#include "editor/TextFileSaver.h"

namespace {

using namespace bench;

const TTextFile& File(bool crlf) { return TextFile("editor", crlf, true); }

struct TDocument {
    TDisplay Display;
    TZalTextFileEditor* Editor = nullptr;
};

TDocument& Doc() {
    static TDocument* doc = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        EnsureApplication();
        auto* d = new TDocument;
        d->Editor = d->Display.ShowEditor<TZalTextFileEditor>([](TZalTextFileEditor&) {});
        ProcessPendingEvents();
        return d;
    }();
    return *doc;
}

void Paint(TZalCustomEditor& e) { UpdateWindow(e.Handle()); }

// The editor holding the LF file, its floor control showing the page it starts on.
TZalTextFileEditor& Loaded() {
    TDocument& d = Doc();
    TZalTextFileEditor& e = *d.Editor;
    if (e.FileName() != File(false).Path || e.ParaCount() != kLines + 1) {
        e.LoadFromFile(File(false).Path);
        Paint(e);
    }
    if (!d.Display.Plain) d.Display.ShowFloor(e);
    ProcessPendingEvents();
    return e;
}

// The caret in the middle of the page in the middle of the text, everything painted.
void ToTheMiddle(TZalCustomEditor& e) {
    e.SetTopLine(kLines / 2);
    e.MoveCaretTo(kLines / 2 + kRows / 2, 20, false);
    Paint(e);
    ProcessPendingEvents();
}

void Bytes(benchmark::State& state, const TTextFile& f) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.Bytes.size()));
}

// --- loading ------------------------------------------------------------------------------

// With range(1), the floor's buffer has huge pages as the text store's memory has.
void BM_LoadFloor(benchmark::State& state) {
    const TTextFile& f = File(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ReadAndCountLines(f, state.range(1)));
    Bytes(state, f);
}
BENCHMARK(BM_LoadFloor)->ArgsProduct({{1, 0}, {0, 1}})->ArgNames({"crlf", "huge"})->Unit(benchmark::kMillisecond);

// File to first paint. The previous text goes back to the system first, so that every
// load pays for its fresh pages as the floor does. Memory is reported per byte of file:
// what the text holds beyond the bytes themselves, and the peak while loading.
void BM_Load(benchmark::State& state) {
    const TTextFile& f = File(state.range(0));
    TZalTextFileEditor& e = *Doc().Editor;
    const double size = double(f.Bytes.size());
    double beyond = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        e.Clear(true);
        Paint(e);
        ProcessPendingEvents();
        malloc_trim(0);
        const double before = Resident("VmRSS:");
        ResetPeakResident();
        state.ResumeTiming();
        e.LoadFromFile(f.Path);
        Paint(e);
        state.PauseTiming();
        beyond = (Resident("VmRSS:") - before - size) / size;
        peak = (Resident("VmHWM:") - before) / size;
        if (e.ParaCount() != kLines + 1) state.SkipWithError("wrong paragraph count");
        state.ResumeTiming();
    }
    Bytes(state, f);
    state.counters["held_beyond_file_x"] = beyond;
    state.counters["peak_x_file"] = peak;
}
BENCHMARK(BM_Load)->Arg(1)->Arg(0)->ArgName("crlf")->Unit(benchmark::kMillisecond)->Iterations(3);

// --- typing and moving --------------------------------------------------------------------

void BM_PaintRowFloor(benchmark::State& state) {
    Loaded();
    for (auto _ : state) Doc().Display.PaintFloorRow();
}
BENCHMARK(BM_PaintRowFloor)->Unit(benchmark::kMicrosecond);

// A typed character through the command path, which repaints its line at once. Every 40
// characters the run is taken out again, untimed, so that the caret stays on screen.
void BM_Keystroke(benchmark::State& state) {
    TZalTextFileEditor& e = Loaded();
    ToTheMiddle(e);
    const int32_t para = e.CaretPara(), pos = e.CaretPos();
    int typed = 0;
    auto takeOut = [&] {
        e.ParaList().DeleteTextAt(nullptr, para, typed, pos);
        e.MoveCaretToPara(para, pos, false);
        e.InvalidateAll(true);
        ProcessPendingEvents();
        typed = 0;
    };
    for (auto _ : state) {
        e.ProcessCommand(ccInsertChar, 'x');
        if (++typed == 40) {
            state.PauseTiming();
            takeOut();
            state.ResumeTiming();
        }
    }
    takeOut();
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);

void BM_PaintPageFloor(benchmark::State& state) {
    Loaded();
    for (auto _ : state) Doc().Display.PaintFloorPage();
}
BENCHMARK(BM_PaintPageFloor)->Unit(benchmark::kMicrosecond);

// Page down and its paint, from the middle of the text on.
void BM_PageDown(benchmark::State& state) {
    TZalTextFileEditor& e = Loaded();
    ToTheMiddle(e);
    int pages = 0;
    for (auto _ : state) {
        e.ProcessCommand(ccNextPage, 0);
        Paint(e);
        if (++pages % 256 == 0) { // the status messages of the caret placements, untimed
            state.PauseTiming();
            if (pages == 4096) pages = 0, ToTheMiddle(e); // 200,000 lines on: well before the end
            ProcessPendingEvents();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_PageDown)->Unit(benchmark::kMicrosecond);

// Ctrl+End from the start of the text, and its paint.
void BM_CtrlEnd(benchmark::State& state) {
    TZalTextFileEditor& e = Loaded();
    for (auto _ : state) {
        state.PauseTiming();
        e.ProcessCommand(ccFirstPage, 0);
        Paint(e);
        ProcessPendingEvents();
        state.ResumeTiming();
        e.ProcessCommand(ccLastPage, 0);
        Paint(e);
    }
    if (e.CaretLine() != e.LineCount()) state.SkipWithError("not at the end");
}
BENCHMARK(BM_CtrlEnd)->Unit(benchmark::kMicrosecond);

// --- search and replace -------------------------------------------------------------------

void BM_SearchFloorMemmem(benchmark::State& state) {
    const TTextFile& f = File(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(memmem(f.Bytes.data(), f.Bytes.size(), kAbsent.data(), kAbsent.size()));
    Bytes(state, f);
}
BENCHMARK(BM_SearchFloorMemmem)->Unit(benchmark::kMillisecond);

void BM_SearchAbsent(benchmark::State& state) {
    TZalTextFileEditor& e = Loaded();
    const TSearchOptions options = soGlobal | (state.range(0) ? soMatchCase : 0);
    for (auto _ : state)
        if (e.Search(kAbsent, options)) state.SkipWithError("found");
    Bytes(state, File(false));
}
BENCHMARK(BM_SearchAbsent)->Arg(1)->Arg(0)->ArgName("matchcase")->Unit(benchmark::kMillisecond);

void BM_ReplaceAllFloor(benchmark::State& state) {
    const TTextFile& f = File(false);
    int64_t replaced = 0;
    for (auto _ : state) replaced = MemmemCopy(f.Bytes, kWord, kLongerWord, state.range(0));
    state.counters["replaced"] = double(replaced);
    Bytes(state, f);
}
BENCHMARK(BM_ReplaceAllFloor)->Arg(0)->Arg(1)->ArgName("huge")->Unit(benchmark::kMillisecond);

// Every "Fox" becomes "Quail" and the page is repainted; put back untimed.
void BM_ReplaceAll(benchmark::State& state) {
    TZalTextFileEditor& e = Loaded();
    int32_t replaced = 0;
    for (auto _ : state) {
        replaced = e.Replace(kWord, kLongerWord, soReplaceAll | soGlobal | soMatchCase);
        Paint(e);
        state.PauseTiming();
        if (replaced != kLines / 20) state.SkipWithError("wrong replacement count");
        e.Replace(kLongerWord, kWord, soReplaceAll | soGlobal | soMatchCase);
        Paint(e);
        ProcessPendingEvents();
        state.ResumeTiming();
    }
    state.counters["replaced"] = replaced;
    Bytes(state, File(false));
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);

// --- saving -------------------------------------------------------------------------------

std::string SavedPath() { return File(false).Path + ".saved"; }

// The saved file must hold the generated bytes; it is removed after.
void CheckSaved(benchmark::State& state) {
    std::ifstream saved(SavedPath(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(saved), {}};
    if (bytes != File(false).Bytes) state.SkipWithError("saved bytes differ");
    std::remove(SavedPath().c_str());
    Bytes(state, File(false));
}

void BM_SaveFloor(benchmark::State& state) {
    for (auto _ : state) WriteBytes(SavedPath(), File(false).Bytes, state.range(0));
    CheckSaved(state);
}
BENCHMARK(BM_SaveFloor)->Arg(0)->Arg(1)->ArgName("sync")->Unit(benchmark::kMillisecond);

// Without the sync, the editor's save stopped before its syncs; with it, SaveToFile.
void BM_Save(benchmark::State& state) {
    TZalTextFileEditor& e = Loaded();
    TSaveOptions options;
    options.LineEnd = e.LineEnd();
    options.Sync = false;
    for (auto _ : state) {
        if (state.range(0))
            e.SaveToFile(SavedPath());
        else
            SaveTextFile(e.ParaList(), SavedPath(), options);
    }
    CheckSaved(state);
}
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->ArgName("sync")->Unit(benchmark::kMillisecond)->Iterations(5);

// --- word wrap ----------------------------------------------------------------------------

// The text store's part: every paragraph re-wrapped at 80, no view told.
void BM_WordWrapFloor(benchmark::State& state) {
    TZalParaList& list = Loaded().ParaList();
    list.SetWrapColumn(80);
    list.SetWordWrap(true);
    for (auto _ : state) list.RewrapAll();
    list.SetWordWrap(false);
    Bytes(state, File(false));
}
BENCHMARK(BM_WordWrapFloor)->Unit(benchmark::kMillisecond)->Iterations(5);

// Word wrap turned on at 80 columns in the middle of the text: every paragraph re-wrapped,
// the view laid out again and painted.
void BM_WordWrapOn(benchmark::State& state) {
    TZalTextFileEditor& e = Loaded();
    e.SetWrapColumn(80);
    for (auto _ : state) {
        state.PauseTiming();
        e.SetWordWrap(false);
        ToTheMiddle(e);
        state.ResumeTiming();
        e.SetWordWrap(true);
        Paint(e);
    }
    e.SetWordWrap(false);
    Bytes(state, File(false));
}
BENCHMARK(BM_WordWrapOn)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
