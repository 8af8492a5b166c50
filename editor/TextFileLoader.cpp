// Loading a text file line by line into a sink.
#include "editor/TextFileLoader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "components/ZalExcpt.h"
#include "components/ZalSrMgr.h"
#include "editor/TextFileError.h"
#include "platform/Files.h"
#include "text/ParaList.h"
#include "text/TextHelpers.h"

namespace {

[[noreturn]] void RaiseLoadError(TEditError code) {
    throw EEditorError(LibraryMessage(LoadErrorMessageNumber(code)), 0);
}

// Reads the file block by block into one reused buffer and cuts the lines out of it in
// place. A line that runs past the end of a block is moved to the buffer's start and
// completed by the next read; the buffer only grows for a line longer than itself.
class TLineReader {
public:
    TLineReader(TFileHandle& file, const std::string& fileName, const TLoadLimits& limits,
                const TLineSink& sink, int64_t knownSize, TLoadReport& report)
        : file_(file), fileName_(fileName), limits_(limits), sink_(sink), report_(report),
          knownSize_(knownSize),
          paraLimit_(size_t(std::max<int32_t>(limits.ParaLengthLimit, 1))) {
        // A regular file fits in one read when it is small; the buffer never exceeds a block.
        capacity_ = knownSize >= 0 ? size_t(std::min<int64_t>(knownSize + 1, kLoadBlockSize))
                                   : kLoadBlockSize;
        buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    }

    void Run() {
        size_t start = 0;
        for (bool atEnd = false; !atEnd;) {
            if (start > 0) {
                std::memmove(buffer_.get(), buffer_.get() + start, have_ - start);
                have_ -= start;
                start = 0;
            } else if (have_ == capacity_) {
                Grow();
            }
            atEnd = ReadBlock();
            start = CutLines(start, atEnd);
        }
        if (start < have_) Emit(start, have_); // the last line needs no line end
    }

private:
    size_t Find(char ch, size_t from) const {
        const void* p = std::memchr(buffer_.get() + from, ch, have_ - from);
        return p ? size_t(static_cast<const char*>(p) - buffer_.get()) : have_;
    }

    void Grow() {
        const size_t bigger = capacity_ * 2;
        auto grown = std::make_unique_for_overwrite<char[]>(bigger);
        std::memcpy(grown.get(), buffer_.get(), have_);
        buffer_ = std::move(grown);
        capacity_ = bigger;
    }

    // Appends the next block to the buffer; true at the end of the text.
    bool ReadBlock() {
        size_t got = 0;
        if (int err = file_.Read(buffer_.get() + have_, capacity_ - have_, got))
            RaiseFileError("Cannot read", fileName_, err);
        if (got == 0) return true;
        read_ += int64_t(got);
        const void* mark = std::memchr(buffer_.get() + have_, kEndOfFileMark, got);
        const size_t kept =
            mark ? size_t(static_cast<const char*>(mark) - (buffer_.get() + have_)) : got;
        have_ += kept;
        kept_ += int64_t(kept);
        // A file whose size told nothing (a device, a pipe) is held to the limit as it comes.
        if (kept_ > limits_.ByteLimit) RaiseLoadError(ecTextSizeLimit);
        if (!mark) return false;
        report_.TextAfterEndMark = kept + 1 < got || read_ < knownSize_;
        return true;
    }

    // Hands over every complete line from start on; returns where the unfinished one starts.
    size_t CutLines(size_t start, bool atEnd) {
        size_t cr = Find('\r', start), lf = Find('\n', start);
        nextZero_ = Find('\0', start);
        for (;;) {
            if (cr < start) cr = Find('\r', start);
            if (lf < start) lf = Find('\n', start);
            const size_t end = std::min(cr, lf);
            if (end == have_) return start;
            size_t endLength = 1;
            TLineEnd style = TLineEnd::Lf;
            if (end == cr) {
                // A carriage return that ends the block may be followed by a line feed.
                if (end + 1 == have_ && !atEnd) return start;
                const bool pair = end + 1 < have_ && buffer_[end + 1] == '\n';
                endLength = pair ? 2 : 1;
                style = pair ? TLineEnd::CrLf : TLineEnd::Cr;
            }
            if (report_.Lines == 0)
                report_.LineEnd = style;
            else if (style != report_.LineEnd)
                ++report_.OtherLineEnds;
            Emit(start, end);
            start = end + endLength;
        }
    }

    void Emit(size_t start, size_t end) {
        char* line = buffer_.get() + start;
        const size_t length = end - start;
        if (nextZero_ < start) nextZero_ = Find('\0', start);
        if (nextZero_ < end) {
            for (char* z = buffer_.get() + nextZero_; z;
                 z = static_cast<char*>(std::memchr(z, '\0', size_t(line + length - z))))
                *z = ' ';
            ++report_.ZeroByteLines;
            nextZero_ = Find('\0', end);
        }
        ++report_.Lines;
        if (length > paraLimit_) ++report_.SplitLines;
        if (limits_.TrimWhiteSpace && length > 0 && IsBlank(line[length - 1]))
            ++report_.TrimmedLines;
        if (TEditError err = sink_(std::string_view(line, length))) RaiseLoadError(err);
    }

    TFileHandle& file_;
    const std::string& fileName_;
    const TLoadLimits& limits_;
    const TLineSink& sink_;
    TLoadReport& report_;
    const int64_t knownSize_; // -1 when the file's size says nothing (a pipe, a device)
    const size_t paraLimit_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = 0;
    size_t have_ = 0;      // bytes of the buffer that hold text
    size_t nextZero_ = 0;  // the first zero byte at or after the current line, or have_
    int64_t read_ = 0; // bytes read from the file
    int64_t kept_ = 0; // of them, those before an end-of-file mark
};

} // namespace

int LoadErrorMessageNumber(TEditError code) {
    switch (code) {
    case ecParaLimit: return zmsg::ParaLimit;
    case ecTextSizeLimit: return zmsg::TextSizeLimit;
    case ecParaLengthLimit: return zmsg::ParaLengthLimit;
    default: return zmsg::InsufficientMemory;
    }
}

void LoadTextFile(const std::string& fileName, const TLoadLimits& limits, const TLineSink& sink,
                  TLoadReport& report) {
    report = TLoadReport{};
    TFileHandle file;
    if (int err = file.OpenForReading(fileName)) RaiseFileError("Cannot open", fileName, err);
    TFileStatus status;
    if (int err = file.Status(status)) RaiseFileError("Cannot read", fileName, err);
    if (status.IsRegular && status.Size > limits.ByteLimit) RaiseLoadError(ecTextSizeLimit);
    TLineReader(file, fileName, limits, sink, status.IsRegular ? status.Size : -1, report).Run();
    if (int err = file.Close()) RaiseFileError("Cannot close", fileName, err);
}

TLoadReport LoadTextFile(const std::string& fileName, const TLoadLimits& limits,
                         const TLineSink& sink) {
    TLoadReport report;
    LoadTextFile(fileName, limits, sink, report);
    return report;
}

TEditError AppendLoadedLine(TZalParaList& list, std::string_view line, bool trim) {
    const size_t limit = size_t(std::clamp<int32_t>(list.ParaLengthLimit(), 1, kMaxParaChars));
    auto fits = [&list](size_t remaining) {
        return list.CheckLimits(0, 1, int32_t(std::min<size_t>(remaining + 2, INT32_MAX)));
    };
    const char* text = line.data();
    size_t rest = line.size();
    TEditError err = fits(rest);
    while (!err) {
        size_t piece = rest;
        if (rest > limit) {
            piece = size_t(WordBreakLen(text, int(limit)));
            if (piece == 0) piece = limit; // a zero byte the caller let through
        }
        if ((err = list.AddLoadedPara(text, int(piece), trim))) break;
        text += piece;
        rest -= piece;
        if (rest == 0) break;
        err = fits(rest);
    }
    return err;
}

TLoadLimits LoadLimitsOf(const TZalParaList& list, bool trim) {
    return TLoadLimits{list.ByteLimit(), list.ParaLengthLimit(), trim};
}

TLoadReport LoadTextFileInto(TZalParaList& list, const std::string& fileName, bool trim) {
    return LoadTextFile(fileName, LoadLimitsOf(list, trim), [&list, trim](std::string_view line) {
        return AppendLoadedLine(list, line, trim);
    });
}
