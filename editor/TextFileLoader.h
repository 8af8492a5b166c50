#pragma once
// Loading a text file line by line: block reads, line-end detection, the end-of-file
// mark, zero bytes, and the report of what loading changed.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "editor/TextFileFormat.h"
#include "text/TextErrors.h"

class TZalParaList;

// Byte that ends the text of a file: it and everything after it are not read.
constexpr char kEndOfFileMark = 26;
// Bytes read from the file at a time.
constexpr size_t kLoadBlockSize = 1 << 20;

// What the loader must know of the document it fills.
struct TLoadLimits {
    int64_t ByteLimit = 2147483647;       // a larger file is refused before it is read
    int32_t ParaLengthLimit = 32767;      // longer lines are split into several paragraphs
    bool TrimWhiteSpace = true;           // trailing blanks are cut from each line
};

// How the file was read, and the lines that saving will write differently from how
// they were in the file. An ordinary file reports no change.
struct TLoadReport {
    TLineEnd LineEnd = TLineEnd::Lf;  // the style of the first line end; Lf when none
    int64_t Lines = 0;                // lines handed to the sink
    int64_t SplitLines = 0;           // longer than the paragraph length limit
    int64_t TrimmedLines = 0;         // ended in blanks while trimming was on
    int64_t ZeroByteLines = 0;        // held zero bytes, read as spaces
    int64_t OtherLineEnds = 0;        // ended in another style than the first line end
    bool TextAfterEndMark = false;    // bytes followed an end-of-file mark and were dropped

    // Whether saving the loaded text will write any line differently.
    bool Changed() const {
        return SplitLines || TrimmedLines || ZeroByteLines || OtherLineEnds || TextAfterEndMark;
    }
};

// Receives each line (without its line end; it holds no zero byte) and returns 0, or
// an editor error code that ends the load.
using TLineSink = std::function<TEditError(std::string_view line)>;

// Reads the file `fileName` and hands every line to `sink`: carriage return + line
// feed, a lone carriage return and a lone line feed each end a line; byte 26 ends the
// file; a zero byte reads as a space; no line is ever cut. Raises EInOutError (naming
// the file and the system's reason) when the file cannot be opened or read, and
// EEditorError (code 0) with the load message of the code when the file is larger
// than the byte limit (before reading it) or the sink returns an error. Lines handed
// over before a failure stay with the sink.
TLoadReport LoadTextFile(const std::string& fileName, const TLoadLimits& limits,
                         const TLineSink& sink);
// The same, filling `report` as the lines go, so that after a failure it still tells
// the line-end style and the changes of the lines already handed over.
void LoadTextFile(const std::string& fileName, const TLoadLimits& limits, const TLineSink& sink,
                  TLoadReport& report);

// The message number a load failure with an editor error code raises: 265, 267 and 268
// give their own limit messages, every other code "insufficient memory".
int LoadErrorMessageNumber(TEditError code);

// Appends one loaded line to the end of a list being loaded; the editor's AppendPara
// appends through it too, so both split alike. Checks the limits for one more paragraph
// of the line's size, cuts a line longer than the paragraph length limit at its last
// blank within the limit (or hard at the limit), and appends each piece before the
// list's final empty paragraph, trimming trailing blanks when `trim`. Returns the first
// error code (0 = success); pieces appended before it stay.
TEditError AppendLoadedLine(TZalParaList& list, std::string_view line, bool trim);

// The loader's limits for filling `list`.
TLoadLimits LoadLimitsOf(const TZalParaList& list, bool trim);

// Loads a file into a fresh list (one that holds only its empty paragraph).
TLoadReport LoadTextFileInto(TZalParaList& list, const std::string& fileName, bool trim);
