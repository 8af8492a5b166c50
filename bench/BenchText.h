#pragma once
// The benchmarks' 100 MB texts as files, the resident-memory counters and the raw floors
// every figure is set beside: read + memchr, memmem, memmem + copy, fwrite (+ fsync).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/Words.h"

namespace bench {

constexpr int kLines = 2'000'000;

// Every 20th line starts with this word (100,000 times); the lower-case random words
// never hold it.
constexpr std::string_view kWord = "Fox";
constexpr std::string_view kLongerWord = "Quail";
// Absent from the text: the random words are lower-case.
constexpr std::string_view kAbsent = "qzkvjxwpybnM";

// Calls line(text) for each of the 2 million lines (40 to 60 characters, seeded);
// with `marked`, every 20th line starts with kWord and a blank.
template <class Line> void ForEachLine(bool marked, Line&& line) {
    Words words(0x5eed);
    std::string text;
    for (int i = 0; i < kLines; ++i) {
        text.clear();
        if (marked && i % 20 == 0) (text += kWord) += ' ';
        words.Line(text);
        line(std::string_view(text));
    }
}

struct TTextFile {
    std::string Path;
    std::string Bytes;
};

// The generated file of a line-end style, written once per run and removed at exit.
inline const TTextFile& TextFile(const std::string& tag, bool crlf, bool marked) {
    static std::vector<std::unique_ptr<TTextFile>> files;
    const std::string path = "/tmp/marvolt-" + tag + "-" + std::to_string(getpid()) + (crlf ? "-crlf" : "-lf");
    for (const auto& f : files)
        if (f->Path == path) return *f;
    if (files.empty())
        std::atexit([] {
            for (const auto& f : files) std::remove(f->Path.c_str());
        });
    auto f = std::make_unique<TTextFile>();
    f->Path = path;
    f->Bytes.reserve(size_t(kLines) * 56);
    ForEachLine(marked, [&](std::string_view line) { (f->Bytes += line) += crlf ? "\r\n" : "\n"; });
    std::ofstream(path, std::ios::binary) << f->Bytes;
    files.push_back(std::move(f));
    return *files.back();
}

// Resident memory in bytes ("VmRSS:"), or its peak since the last reset ("VmHWM:").
inline double Resident(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field)) * 1024;
    return 0;
}

inline void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

// A freshly mapped buffer for a floor, whose pages the floor pays for as it touches them.
// With hugePages they are huge pages where the system gives them, as the text store takes
// its own memory: the floor then pays for its pages what the measured job pays.
class TFreshBuffer {
public:
    TFreshBuffer(size_t size, bool hugePages) : mapped_(size + kHugePage) {
        base_ = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base_ == MAP_FAILED) std::abort();
        data_ = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(base_) + kHugePage - 1) & ~(kHugePage - 1));
        if (hugePages) madvise(data_, size, MADV_HUGEPAGE);
    }
    ~TFreshBuffer() { munmap(base_, mapped_); }
    TFreshBuffer(const TFreshBuffer&) = delete;
    TFreshBuffer& operator=(const TFreshBuffer&) = delete;
    char* Data() const { return data_; }

private:
    static constexpr size_t kHugePage = 2 << 20;
    size_t mapped_;
    void* base_;
    char* data_;
};

// The load floor: the file read into a fresh buffer, its line feeds counted.
inline size_t ReadAndCountLines(const TTextFile& f, bool hugePages) {
    const int fd = open(f.Path.c_str(), O_RDONLY);
    const TFreshBuffer buffer(f.Bytes.size(), hugePages);
    size_t have = 0;
    for (ssize_t n; (n = read(fd, buffer.Data() + have, f.Bytes.size() - have)) > 0;) have += size_t(n);
    close(fd);
    size_t lines = 0;
    const char* end = buffer.Data() + have;
    for (const char* p = buffer.Data(); (p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))); ++p)
        ++lines;
    return lines;
}

// The save floor: the bytes written with one fwrite, synced before the close when asked.
inline void WriteBytes(const std::string& path, const std::string& bytes, bool sync) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    if (sync && std::fflush(file) == 0) fsync(fileno(file));
    std::fclose(file);
}

// The replace-all floor: finding the occurrences of `word` and writing the new text into
// a fresh buffer of its own. Returns the replacements.
inline int64_t MemmemCopy(const std::string& bytes, std::string_view word, std::string_view by,
                          bool hugePages = false) {
    int64_t found = 0;
    const TFreshBuffer out(bytes.size() * 2, hugePages);
    char* to = out.Data();
    const char* from = bytes.data();
    const char* end = from + bytes.size();
    while (const void* hit = memmem(from, size_t(end - from), word.data(), word.size())) {
        const auto* at = static_cast<const char*>(hit);
        std::memcpy(to, from, size_t(at - from));
        to += at - from;
        std::memcpy(to, by.data(), by.size());
        to += by.size();
        from = at + word.size();
        ++found;
    }
    std::memcpy(to, from, size_t(end - from));
    benchmark::DoNotOptimize(out.Data());
    benchmark::ClobberMemory();
    return found;
}

} // namespace bench
