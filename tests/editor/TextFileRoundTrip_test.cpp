// Loading and saving against a plain byte-by-byte model of the file format.
#include <gtest/gtest.h>

#include <random>

#include "TextFileTestUtil.h"
#include "components/ZalExcpt.h"
#include "components/ZalSrMgr.h"
#include "editor/TextFileLoader.h"
#include "editor/TextFileSaver.h"

namespace {

// What loading a file must give, worked out the obvious way.
struct TModel {
    std::vector<std::string> Paras;
    TLineEnd LineEnd = TLineEnd::Lf;
    TLoadReport Report;
    std::string Saved;
};

TModel Model(const std::string& file, size_t limit, bool trim) {
    TModel m;
    std::vector<std::string> lines;
    std::vector<bool> zero;
    std::string line;
    bool hadZero = false;
    size_t i = 0;
    for (; i < file.size() && file[i] != 26; ++i) {
        const char c = file[i];
        if (c != '\r' && c != '\n') {
            hadZero |= c == 0;
            line.push_back(c == 0 ? ' ' : c);
            continue;
        }
        TLineEnd style = TLineEnd::Lf;
        if (c == '\r') style = i + 1 < file.size() && file[i + 1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr;
        if (style == TLineEnd::CrLf) ++i;
        if (lines.empty()) m.Report.LineEnd = style;
        else if (style != m.Report.LineEnd) ++m.Report.OtherLineEnds;
        lines.push_back(line);
        zero.push_back(hadZero);
        line.clear();
        hadZero = false;
    }
    m.Report.TextAfterEndMark = i + 1 < file.size();
    if (!line.empty()) lines.push_back(line), zero.push_back(hadZero);
    const std::string eol(LineEndText(m.Report.LineEnd));
    for (size_t k = 0; k < lines.size(); ++k) {
        std::string rest = lines[k];
        m.Report.SplitLines += rest.size() > limit;
        m.Report.TrimmedLines += trim && !rest.empty() && (rest.back() == ' ' || rest.back() == '\t');
        m.Report.ZeroByteLines += zero[k];
        do {
            size_t piece = rest.size();
            if (piece > limit) {
                const size_t blank = rest.find_last_of(" \t", limit - 1);
                piece = blank == std::string::npos ? limit : blank + 1;
            }
            std::string p = rest.substr(0, piece);
            if (trim) p.erase(p.find_last_not_of(" \t") + 1);
            m.Paras.push_back(p);
            rest.erase(0, piece);
        } while (!rest.empty());
    }
    m.Report.Lines = int64_t(lines.size());
    m.Paras.push_back("");
    for (size_t k = 0; k + 1 < m.Paras.size(); ++k) {
        for (char c : m.Paras[k]) m.Saved.push_back(static_cast<unsigned char>(c) < 9 ? ' ' : c);
        m.Saved += eol;
    }
    return m;
}

// Loads `file` into a fresh list, checks it against the model, saves it and returns
// the saved bytes.
std::string RoundTrip(const std::string& file, bool trim = false, int32_t limit = 32767) {
    TScratchDir dir;
    WriteBytes(dir / "in", file);
    TZalParaList list(nullptr, false);
    list.SetParaLengthLimit(limit);
    const TLoadReport report = LoadTextFileInto(list, dir / "in", trim);
    const TModel model = Model(file, size_t(limit), trim);
    EXPECT_TRUE(Same(Paras(list), model.Paras));
    EXPECT_EQ(report.LineEnd, model.Report.LineEnd);
    EXPECT_EQ(report.Lines, model.Report.Lines);
    EXPECT_EQ(report.SplitLines, model.Report.SplitLines);
    EXPECT_EQ(report.TrimmedLines, model.Report.TrimmedLines);
    EXPECT_EQ(report.ZeroByteLines, model.Report.ZeroByteLines);
    EXPECT_EQ(report.OtherLineEnds, model.Report.OtherLineEnds);
    EXPECT_EQ(report.TextAfterEndMark, model.Report.TextAfterEndMark);
    EXPECT_EQ(list.ByteCount(), [&] {
        int64_t n = 0;
        for (const std::string& p : model.Paras) n += int64_t(p.size()) + 2;
        return int32_t(n - 2); // the final empty paragraph is not counted
    }());
    EXPECT_FALSE(list.Modified());
    TSaveOptions options;
    options.LineEnd = report.LineEnd;
    options.Sync = false;
    SaveTextFile(list, dir / "out", options);
    const std::string saved = ReadBytes(dir / "out");
    EXPECT_TRUE(Same(saved, model.Saved));
    EXPECT_EQ(SavedSize(list, report.LineEnd), int64_t(saved.size()));
    return saved;
}

std::string Words(std::mt19937& rng, size_t size, const std::string& eol) {
    std::string s;
    while (s.size() < size) {
        for (int n = 2 + int(rng() % 8); n > 0; --n) s.push_back(char('a' + rng() % 26));
        s += rng() % 9 ? " " : eol;
    }
    return s;
}

} // namespace

TEST(TextFileRoundTrip, TheFormatsRulesOnSmallFiles) {
    struct Case {
        std::string in, out;
        bool trim;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", "a\r\nb\r\n", false},
        {"a\r\nb", "a\r\nb\r\n", false},   // the last line gets its line end
        {"a\nb\n\n", "a\nb\n\n", false},
        {"a\rb\r", "a\rb\r", false},
        {"a\r\nb\nc\rd\r\n", "a\r\nb\r\nc\r\nd\r\n", false}, // the first line end decides
        {"a\nb\r\n", "a\nb\n", false},
        {"", "", false},
        {"abc", "abc\n", false},
        {"ab\x1a" "cd\r\n", "ab\n", false},
        {"a\r\x1a\n", "a\r", false},
        {std::string("a\0b\0\r\n", 6), "a b \r\n", false},
        {"\tx\t\n\t\n", "\tx\t\n\t\n", false},
        {"\tx \t\n  \n", "\tx\n\n", true},
        {"\x01\x08\x09\x0b\x7f\xff\n", "  \t\x0b\x7f\xff\n", false},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundTrip(c.in, c.trim), c.out) << "input: " << c.in;

    std::string all; // every byte but the line ends and the end mark, in one line
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n' && b != 26) all.push_back(char(b));
    std::string expected = all;
    for (int b = 1; b < 9; ++b) expected[size_t(b - 1)] = ' ';
    EXPECT_EQ(RoundTrip(all + "\r\n"), expected + "\r\n");
}

TEST(TextFileRoundTrip, RandomFilesMatchTheModel) {
    std::mt19937 rng(20240611);
    const std::string alphabet = std::string("aab  \t\t-\r\n\r\n\r\n", 14) + std::string("\0\x01\x08\xe9", 4);
    for (int round = 0; round < 400; ++round) {
        std::string file(rng() % 200, 'x');
        for (char& c : file) c = alphabet[rng() % alphabet.size()];
        if (rng() % 8 == 0) file.insert(rng() % (file.size() + 1), 1, '\x1a');
        RoundTrip(file, rng() % 2, 1 + int32_t(rng() % 12));
        if (::testing::Test::HasFailure()) break;
    }
}

TEST(TextFileRoundTrip, LongLinesAreSplitNeverCut) {
    std::mt19937 rng(7);
    std::string words = Words(rng, 100'000, " "); // one 100 KB line of words
    const std::string saved = RoundTrip(words + "\n");
    EXPECT_GT(std::count(saved.begin(), saved.end(), '\n'), 3);
    std::string hard(70'000, 'x');
    EXPECT_TRUE(Same(RoundTrip(hard + "\r\n"), hard.substr(0, 32767) + "\r\n" +
                                                     hard.substr(32767, 32767) + "\r\n" +
                                                     hard.substr(65534) + "\r\n"));
    EXPECT_EQ(RoundTrip("abc def ghi\n", false, 9), "abc def \nghi\n");
}

// Files larger than a read block: lines, a carriage return + line feed pair and a zero
// byte across block ends, and a line longer than the block (the buffer has to grow).
TEST(TextFileRoundTrip, BlockBoundariesAndLargeFiles) {
    std::mt19937 rng(11);
    std::string file = Words(rng, kLoadBlockSize - 1, "\r\n");
    file.resize(kLoadBlockSize - 1);
    file += "\r\n";
    file += Words(rng, 2 * kLoadBlockSize - file.size() - 3, "\r\n");
    file += std::string("ab\0cd\r\n", 7);
    file += std::string(3 * kLoadBlockSize, 'y') + "\r\nend";
    RoundTrip(file, true);

    const std::string big = Words(rng, 10 << 20, "\r\n") + "\r\n"; // 10 MB: saved byte for byte
    EXPECT_TRUE(Same(RoundTrip(big), big));
}

TEST(TextFileLoad, FailuresNameTheFileOrTheLimit) {
    TScratchDir dir;
    TZalParaList list(nullptr, false);
    try {
        LoadTextFileInto(list, dir / "none", true);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "Cannot open '" + (dir / "none") + "': No such file or directory");
        EXPECT_EQ(e.ErrorCode, ENOENT);
    }
    EXPECT_THROW(LoadTextFileInto(list, dir.Path, true), EInOutError) << "a directory";

    WriteBytes(dir / "f", "one\ntwo\nthree\nfour\n");
    list.SetByteLimit(18);
    try {
        LoadTextFileInto(list, dir / "f", true);
        ADD_FAILURE() << "no error";
    } catch (const EEditorError& e) {
        EXPECT_EQ(e.Message(), "Current operation will exceed the maximum editor text size");
        EXPECT_EQ(e.ErrorCode, 0);
    }
    EXPECT_THROW(LoadTextFileInto(list, "/dev/zero", true), EEditorError) << "endless, no size";
    EXPECT_EQ(list.ParaCount(), 1) << "a file over the byte limit is not read";

    list.SetByteLimit(kNoLimit);
    list.SetParaLimit(3); // the empty last paragraph gives room for one more
    try {
        LoadTextFileInto(list, dir / "f", true);
        ADD_FAILURE() << "no error";
    } catch (const EEditorError& e) {
        EXPECT_EQ(e.Message(), LibraryMessage(30198));
        EXPECT_EQ(e.ErrorCode, 0);
    }
    EXPECT_EQ(Paras(list), (std::vector<std::string>{"one", "two", "three", ""}));

    const int expected[][2] = {{263, 30197}, {265, 30198}, {266, 30197}, {267, 30200}, {268, 30201}};
    for (const auto& [code, message] : expected) EXPECT_EQ(LoadErrorMessageNumber(TEditError(code)), message);
}
