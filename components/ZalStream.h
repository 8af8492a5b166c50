#pragma once
// Value streams: the stored form of persistent properties (strings, booleans, integers
// and nested lists), as readable text. The writer puts one value per line, indenting
// list contents; the reader accepts any white space between values, so
// "'Default' True ( 1 2 3 )" on one line reads the same.
//
//   string   'text' with '' for a quote; any byte below 32 or from 127 up is written as
//            #nnn (its decimal code) outside the quotes: 'a'#13#10'b'. '' is empty.
//   boolean  True or False (letter case ignored when reading)
//   integer  optional minus sign and decimal digits, 64-bit signed
//   list     ( values )   an empty list is written as ()
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "components/ZalExcpt.h"

// Malformed value stream: the text names the line and what was expected and found.
class EZalStreamError : public Exception {
public:
    EZalStreamError(int line, const std::string& what);
    int Line = 0;
};

// Reads a whole word as an integer of the streams: an optional sign, then decimal digits
// only. std::errc::result_out_of_range beyond 64 bits, std::errc::invalid_argument for
// anything else that is not such a word ("+-5", "5x", "").
std::errc ParseStreamInteger(std::string_view word, int64_t& value);

enum class TZalValueKind { vkEnd, vkString, vkBoolean, vkInteger, vkListBegin, vkListEnd };

class TZalValueWriter {
public:
    void WriteString(std::string_view s);
    void WriteBoolean(bool b);
    void WriteInteger(int64_t v);
    void WriteListBegin();
    void WriteListEnd(); // a list end without its start is a caller error (std::logic_error)

    // The text written so far, each value on its own line ending in a line feed.
    std::string Text() const;

private:
    void FlushOpen();
    void BeginValue();
    void Indent(int depth);

    std::string out_;
    int depth_ = 0;
    bool pendingOpen_ = false; // a list start not yet written: "()" if the end follows
};

class TZalValueReader {
public:
    // The reader keeps its own copy of the text.
    explicit TZalValueReader(std::string text);

    // The kind of the next value, without consuming it (vkEnd at the end of the text).
    TZalValueKind NextValue();
    std::string ReadString();
    bool ReadBoolean();
    int64_t ReadInteger();
    void ReadListBegin();
    void ReadListEnd();
    // True when the next value is a list end. Inside a list the text cannot end, so the
    // end of the text here raises "expected a list end".
    bool EndOfList();
    // True when only white space is left.
    bool AtEnd();
    // The line where the next value starts, for errors found in a value before it is read.
    int Line();

private:
    struct Token {
        TZalValueKind kind = TZalValueKind::vkEnd;
        std::string text; // string contents
        int64_t number = 0;
        bool boolean = false;
    };
    const Token& Peek();
    void Scan();
    void ScanString();
    void ScanNumber();
    void ScanWord();
    void SkipSpace();
    [[noreturn]] void Fail(const std::string& what) const;
    [[noreturn]] void Unexpected(const char* expected);
    void Expect(TZalValueKind kind, const char* expected);

    std::string text_;
    size_t pos_ = 0;
    int line_ = 1;      // line of pos_
    int tokenLine_ = 1; // line where the peeked token starts
    bool peeked_ = false;
    Token token_;
};
