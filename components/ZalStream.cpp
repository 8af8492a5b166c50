#include "components/ZalStream.h"

#include <charconv>
#include <stdexcept>

namespace {
const char* KindName(TZalValueKind kind) {
    switch (kind) {
    case TZalValueKind::vkEnd: return "the end of the stream";
    case TZalValueKind::vkString: return "a string";
    case TZalValueKind::vkBoolean: return "a boolean";
    case TZalValueKind::vkInteger: return "an integer";
    case TZalValueKind::vkListBegin: return "a list start";
    case TZalValueKind::vkListEnd: return "a list end";
    }
    return "?";
}

bool Printable(unsigned char c) { return c >= 32 && c < 127; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_';
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}
} // namespace

std::errc ParseStreamInteger(std::string_view word, int64_t& value) {
    // from_chars takes a minus sign but no plus sign; a plus must be followed by a digit.
    if (word.size() > 1 && word.front() == '+' && IsDigit(word[1])) word.remove_prefix(1);
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec == std::errc() && end != word.data() + word.size()) return std::errc::invalid_argument;
    if (ec == std::errc()) value = v;
    return ec;
}

EZalStreamError::EZalStreamError(int line, const std::string& what)
    : Exception("Invalid value stream at line " + std::to_string(line) + ": " + what), Line(line) {}

// ---- writer ----

void TZalValueWriter::Indent(int depth) { out_.append(static_cast<size_t>(depth) * 2, ' '); }

void TZalValueWriter::FlushOpen() {
    if (!pendingOpen_) return;
    Indent(depth_);
    out_ += "(\n";
    ++depth_;
    pendingOpen_ = false;
}

void TZalValueWriter::BeginValue() {
    FlushOpen();
    Indent(depth_);
}

void TZalValueWriter::WriteString(std::string_view s) {
    BeginValue();
    if (s.empty()) {
        out_ += "''";
    }
    bool quoted = false;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (Printable(c)) {
            if (!quoted) out_ += '\'';
            quoted = true;
            if (c == '\'') out_ += '\'';
            out_ += ch;
        } else {
            if (quoted) out_ += '\'';
            quoted = false;
            out_ += '#';
            out_ += std::to_string(c);
        }
    }
    if (quoted) out_ += '\'';
    out_ += '\n';
}

void TZalValueWriter::WriteBoolean(bool b) {
    BeginValue();
    out_ += b ? "True\n" : "False\n";
}

void TZalValueWriter::WriteInteger(int64_t v) {
    BeginValue();
    out_ += std::to_string(v);
    out_ += '\n';
}

void TZalValueWriter::WriteListBegin() {
    // The start is written by the next value or, for an empty list, with its end.
    FlushOpen();
    pendingOpen_ = true;
}

void TZalValueWriter::WriteListEnd() {
    if (pendingOpen_) {
        Indent(depth_);
        out_ += "()\n";
        pendingOpen_ = false;
        return;
    }
    if (depth_ == 0) throw std::logic_error("TZalValueWriter: list end without a list start");
    --depth_;
    Indent(depth_);
    out_ += ")\n";
}

std::string TZalValueWriter::Text() const {
    std::string s = out_;
    if (pendingOpen_) {
        s.append(static_cast<size_t>(depth_) * 2, ' ');
        s += "(\n";
    }
    return s;
}

// ---- reader ----

TZalValueReader::TZalValueReader(std::string text) : text_(std::move(text)) {}

void TZalValueReader::Fail(const std::string& what) const { throw EZalStreamError(tokenLine_, what); }

void TZalValueReader::SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
    }
}

void TZalValueReader::ScanString() {
    token_.kind = TZalValueKind::vkString;
    token_.text.clear();
    // A string is a run of quoted parts and #nnn codes with nothing between them.
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '\'') {
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
                    Fail("unterminated string");
                const char q = text_[pos_++];
                if (q == '\'') {
                    if (pos_ < text_.size() && text_[pos_] == '\'') {
                        token_.text += '\'';
                        ++pos_;
                        continue;
                    }
                    break;
                }
                token_.text += q;
            }
        } else if (c == '#') {
            ++pos_;
            const size_t start = pos_;
            unsigned code = 0;
            while (pos_ < text_.size() && IsDigit(text_[pos_])) {
                code = code * 10 + static_cast<unsigned>(text_[pos_] - '0');
                if (code > 255) Fail("character code out of range after #");
                ++pos_;
            }
            if (pos_ == start) Fail("character code expected after #");
            token_.text += static_cast<char>(code);
        } else {
            break;
        }
    }
    if (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '(' && text_[pos_] != ')')
        Fail("unexpected character after a string");
}

void TZalValueReader::ScanNumber() {
    const size_t start = pos_;
    if (text_[pos_] == '-' || text_[pos_] == '+') ++pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    const std::string_view word = std::string_view(text_).substr(start, pos_ - start);
    const std::errc ec = ParseStreamInteger(word, token_.number);
    if (ec == std::errc::result_out_of_range) Fail("integer out of range: " + std::string(word));
    if (ec != std::errc()) Fail("not a number: " + std::string(word));
    token_.kind = TZalValueKind::vkInteger;
}

void TZalValueReader::ScanWord() {
    const size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    if (pos_ == start) {
        const auto c = static_cast<unsigned char>(text_[pos_]);
        std::string shown;
        if (Printable(c)) {
            shown = "'";
            shown += char(c);
            shown += '\'';
        } else {
            shown = "#";
            shown += std::to_string(c);
        }
        Fail("unexpected character " + shown);
    }
    const std::string_view word = std::string_view(text_).substr(start, pos_ - start);
    if (EqualsIgnoringCase(word, "True") || EqualsIgnoringCase(word, "False")) {
        token_.kind = TZalValueKind::vkBoolean;
        token_.boolean = EqualsIgnoringCase(word, "True");
        return;
    }
    Fail("unknown word " + std::string(word));
}

void TZalValueReader::Scan() {
    SkipSpace();
    tokenLine_ = line_;
    if (pos_ >= text_.size()) {
        token_.kind = TZalValueKind::vkEnd;
        return;
    }
    const char c = text_[pos_];
    if (c == '(') {
        ++pos_;
        token_.kind = TZalValueKind::vkListBegin;
    } else if (c == ')') {
        ++pos_;
        token_.kind = TZalValueKind::vkListEnd;
    } else if (c == '\'' || c == '#') {
        ScanString();
    } else if (IsDigit(c) || c == '-' || c == '+') {
        ScanNumber();
    } else {
        ScanWord();
    }
}

const TZalValueReader::Token& TZalValueReader::Peek() {
    if (!peeked_) {
        Scan();
        peeked_ = true;
    }
    return token_;
}

void TZalValueReader::Unexpected(const char* expected) {
    Fail(std::string("expected ") + expected + ", found " + KindName(Peek().kind));
}

void TZalValueReader::Expect(TZalValueKind kind, const char* expected) {
    if (Peek().kind != kind) Unexpected(expected);
    peeked_ = false;
}

TZalValueKind TZalValueReader::NextValue() { return Peek().kind; }

std::string TZalValueReader::ReadString() {
    Expect(TZalValueKind::vkString, "a string");
    return std::move(token_.text);
}

bool TZalValueReader::ReadBoolean() {
    Expect(TZalValueKind::vkBoolean, "a boolean");
    return token_.boolean;
}

int64_t TZalValueReader::ReadInteger() {
    Expect(TZalValueKind::vkInteger, "an integer");
    return token_.number;
}

void TZalValueReader::ReadListBegin() { Expect(TZalValueKind::vkListBegin, "a list start"); }

void TZalValueReader::ReadListEnd() { Expect(TZalValueKind::vkListEnd, "a list end"); }

bool TZalValueReader::EndOfList() {
    const TZalValueKind kind = Peek().kind;
    if (kind == TZalValueKind::vkEnd) Unexpected("a list end");
    return kind == TZalValueKind::vkListEnd;
}

bool TZalValueReader::AtEnd() { return Peek().kind == TZalValueKind::vkEnd; }

int TZalValueReader::Line() {
    Peek();
    return tokenLine_;
}

// ---- persistent base ----
