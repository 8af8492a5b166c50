#include <gtest/gtest.h>

#include "components/ZalExcpt.h"
#include "components/ZalSrMgr.h"
#include "platform/Resources.h"
#include "text/TextErrors.h"

#include <climits>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& b, uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

uint32_t GetU32(std::span<const uint8_t> b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A table laid out as the stored ones are: index, then the texts in index order.
Bytes MakeTable(const std::vector<std::pair<uint32_t, std::u16string>>& entries) {
    Bytes b = {'S', 'T', 'R', '0'};
    PutU32(b, static_cast<uint32_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(8 + 12 * entries.size());
    for (const auto& [number, text] : entries) {
        PutU32(b, number);
        PutU32(b, offset);
        PutU32(b, static_cast<uint32_t>(text.size()));
        offset += static_cast<uint32_t>(2 * text.size());
    }
    for (const auto& entry : entries)
        for (char16_t u : entry.second) {
            b.push_back(static_cast<uint8_t>(u & 0xFF));
            b.push_back(static_cast<uint8_t>(u >> 8));
        }
    return b;
}

void SetU32(Bytes& b, size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

std::string ReaderError(const std::function<void()>& f) {
    try {
        f();
    } catch (const EZalStringResourceError& e) {
        return e.what();
    }
    return "(no error)";
}

std::span<const uint8_t> CompiledBlob(std::string_view name) {
    std::span<const uint8_t> blob;
    EXPECT_TRUE(FindResourceBlob(RT_RCDATA, name, blob)) << name;
    return blob;
}

} // namespace

TEST(LibraryMessage, EveryMessageTheProgramUsesComesBackExactly) {
    const std::pair<int, const char*> expected[] = {
        {30168, "Unknown Error condition"},
        {30169, "Duplicate command found while adding a new command to the table"},
        {30170, "Command table not found or command table index out of range"},
        {30172, "No Controller assigned"},
        {30186, "Region is too large (> 64K)"},
        {30189, "No Window's timers are available"},
        {30197, "insufficient memory for requested operation"},
        {30198, "Current operation will exceed the maximum number of allowed paragraphs"},
        {30199, "Cannot join paragraphs. New paragraph size exceeds maximum paragraph size"},
        {30200, "Current operation will exceed the maximum editor text size"},
        {30201, "Current operation will exceed the maximum paragraph size"},
        {30213, "Invalid line or paragraph index"},
        {30214, "Invalid font assignment. Font must be a fixed font"},
        {30216, "Invalid line or column"},
        {30244, "Label not attached"},
        {30266, "Grid"},
        {30275, "Default"},
        {30276, "WordStar"},
        {30277, "(Unknown)"},
        {30368, "Y"},
        {30369, "N"},
        {30370, "T"},
        {30371, "F"},
    };
    for (const auto& [number, text] : expected)
        EXPECT_EQ(LibraryMessage(number), text) << number;
}

TEST(LibraryMessage, CommandNamesSitAt33768PlusTheCode) {
    const std::pair<int, const char*> expected[] = {
        {0, "ccNone"},        {1, "ccBack"},          {3, "ccBotRightCell"}, {10, "ccDel"},
        {21, "ccExtendPgDn"}, {25, "ccExtBotOfPage"}, {32, "ccGotoMarker0"}, {41, "ccGotoMarker9"},
        {42, "ccHome"},       {44, "ccIns"},          {54, "ccRestore"},     {58, "ccSetMarker0"},
        {67, "ccSetMarker9"}, {69, "ccTableEdit"},    {70, "ccTopLeftCell"}, {75, "ccWordRight"},
    };
    for (const auto& [code, name] : expected)
        EXPECT_EQ(LibraryMessage(33768 + code), name) << code;

    std::set<std::string> names;
    for (int code = 0; code <= 75; ++code) {
        const std::string name = LibraryMessage(33768 + code);
        EXPECT_EQ(name.rfind("cc", 0), 0u) << code << ": " << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 76u); // every code has its own name
}

TEST(LibraryMessage, FirstAndLastEntriesFoundAndAbsentNumbersAreUnknown) {
    EXPECT_EQ(LibraryMessage(30168), "Unknown Error condition");
    EXPECT_EQ(LibraryMessage(33843), "ccWordRight");
    for (int absent : {0, 1, -1, 30167, 30171, 30372, 33767, 33844, 34541, INT_MAX, INT_MIN})
        EXPECT_EQ(LibraryMessage(absent), "Unknown") << absent;
}

TEST(StringTables, ReaderTableIsStoredExactlyInTheTableLayout) {
    const Bytes expected = MakeTable({{1, u"String not found: %d"},
                                      {2, u"Cannot lock resource"},
                                      {3, u"String resource not found: %s"},
                                      {4, u"Unable to open string resource: %s"},
                                      {5, u"Invalid ZalString resource"}});
    const std::span<const uint8_t> blob = CompiledBlob(kManagerStringsName);
    EXPECT_EQ(Bytes(blob.begin(), blob.end()), expected);
    EXPECT_EQ(blob.size(), 326u);
    EXPECT_EQ(ManagerStrings().GetString(3), "String resource not found: %s");
}

TEST(StringTables, LibraryTableTextsFollowTheIndexWithoutGaps) {
    const std::span<const uint8_t> blob = CompiledBlob(kLibraryStringsName);
    ASSERT_GE(blob.size(), 8u);
    EXPECT_EQ(std::string(blob.begin(), blob.begin() + 4), "STR0");
    const uint32_t count = GetU32(blob, 4);
    EXPECT_EQ(count, 23u + 76u);
    uint32_t next = 8 + 12 * count;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = 8 + 12 * i;
        if (i > 0) {
            EXPECT_GT(GetU32(blob, entry), GetU32(blob, entry - 12));
        }
        EXPECT_EQ(GetU32(blob, entry + 4), next) << "entry " << i;
        EXPECT_GT(GetU32(blob, entry + 8), 0u);
        next = GetU32(blob, entry + 4) + 2 * GetU32(blob, entry + 8);
    }
    EXPECT_EQ(next, blob.size());
}

TEST(TZalStringResource, MissingNamesAndClosedReadersRaiseTheReaderMessages) {
    TZalStringResource reader;
    EXPECT_EQ(ReaderError([&] { reader.GetString(1); }), "Cannot lock resource");
    EXPECT_EQ(ReaderError([&] { reader.Open("NO_SUCH_TABLE"); }),
              "String resource not found: NO_SUCH_TABLE");
    EXPECT_FALSE(reader.IsOpen());

    // The name is held in a 255-character buffer.
    const std::string longName(300, 'Q');
    EXPECT_EQ(ReaderError([&] { TZalStringResource r(longName); }),
              "String resource not found: " + std::string(255, 'Q'));

    // Names compare as resource names do, ignoring case.
    reader.Open("zalsrmgr_strings");
    EXPECT_EQ(reader.GetString(2), "Cannot lock resource");

    // An empty name leaves the reader closed (and closes an open one).
    reader.Open("");
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(ReaderError([&] { reader.GetString(2); }), "Cannot lock resource");
}

TEST(TZalStringResource, RegisteredTablesOpenByNameAndBadOnesAreRefused) {
    const Bytes good = MakeTable({{7, u"seven"}});
    const Bytes bad = {'S', 'T', 'R', '1', 0, 0, 0, 0};
    const Bytes empty;
    ASSERT_TRUE(RegisterResourceBlob(RT_RCDATA, "TEST_GOOD", good));
    ASSERT_TRUE(RegisterResourceBlob(RT_RCDATA, "TEST_BAD", bad));
    ASSERT_TRUE(RegisterResourceBlob(RT_RCDATA, "TEST_EMPTY", empty));
    ASSERT_TRUE(RegisterResourceBlob(RT_BITMAP, "TEST_BITMAP", good));

    TZalStringResource reader("TEST_GOOD");
    EXPECT_EQ(reader.GetString(7), "seven");
    EXPECT_EQ(ReaderError([&] { reader.Open("TEST_BAD"); }), "Invalid ZalString resource");
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(ReaderError([&] { reader.Open("TEST_EMPTY"); }),
              "Unable to open string resource: TEST_EMPTY");
    // Only raw-data resources are tables.
    EXPECT_EQ(ReaderError([&] { reader.Open("TEST_BITMAP"); }),
              "String resource not found: TEST_BITMAP");

    for (const char* name : {"TEST_GOOD", "TEST_BAD", "TEST_EMPTY"})
        EXPECT_TRUE(UnregisterResourceBlob(RT_RCDATA, name));
    EXPECT_TRUE(UnregisterResourceBlob(RT_BITMAP, "TEST_BITMAP"));
}

TEST(TZalStringResource, MalformedBlobsAreRefusedCleanly) {
    const Bytes valid = MakeTable({{10, u"ten"}, {20, u"twenty"}, {30, u"thirty"}});
    std::vector<std::pair<std::string, Bytes>> cases;
    auto variant = [&](std::string what, auto change) {
        Bytes b = valid;
        change(b);
        cases.emplace_back(std::move(what), std::move(b));
    };
    cases.emplace_back("empty", Bytes{});
    cases.emplace_back("magic only", Bytes{'S', 'T', 'R', '0'});
    variant("wrong magic", [](Bytes& b) { b[3] = 'X'; });
    variant("lower-case magic", [](Bytes& b) { b[0] = 's'; });
    variant("truncated by one byte", [](Bytes& b) { b.pop_back(); });
    variant("truncated inside the index", [](Bytes& b) { b.resize(8 + 12 + 5); });
    variant("count one too large", [](Bytes& b) { SetU32(b, 4, 4); });
    variant("count huge", [](Bytes& b) { SetU32(b, 4, 0xFFFFFFFF); });
    variant("count filling the index past the end", [](Bytes& b) { SetU32(b, 4, 0x15555555); });
    variant("offset past the end",
            [](Bytes& b) { SetU32(b, 8 + 4, static_cast<uint32_t>(b.size() + 2)); });
    variant("offset into the index", [](Bytes& b) { SetU32(b, 8 + 12 + 4, 8); });
    variant("offset into the header", [](Bytes& b) { SetU32(b, 8 + 4, 0); });
    variant("length past the end", [](Bytes& b) { SetU32(b, 8 + 24 + 8, 7); });
    variant("offset plus length wraps", [](Bytes& b) {
        SetU32(b, 8 + 4, 0xFFFFFFF0);
        SetU32(b, 8 + 8, 0x08);
    });
    variant("huge length", [](Bytes& b) { SetU32(b, 8 + 8, 0x80000001); });
    variant("unsorted index", [](Bytes& b) { SetU32(b, 8, 25); });
    variant("duplicate numbers", [](Bytes& b) { SetU32(b, 8 + 12, 10); });

    for (const auto& [what, blob] : cases) {
        TZalStringResource reader;
        reader.Open(std::span<const uint8_t>(valid)); // a failed Open also closes
        EXPECT_EQ(ReaderError([&] { reader.Open(std::span<const uint8_t>(blob)); }),
                  "Invalid ZalString resource")
            << what;
        EXPECT_FALSE(reader.IsOpen()) << what;
        EXPECT_EQ(ReaderError([&] { reader.GetString(10); }), "Cannot lock resource") << what;
    }
}

TEST(TZalStringResource, UnusualButSoundTablesAreRead) {
    TZalStringResource reader;
    const Bytes none = MakeTable({});
    reader.Open(std::span<const uint8_t>(none));
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.GetString(0), "");

    // An empty text, and a text at an odd offset (a padding byte after the index).
    Bytes b = MakeTable({{1, u""}, {2, u"ab"}});
    b.insert(b.begin() + 8 + 24, 0xEE);
    SetU32(b, 8 + 4, 8 + 24 + 1);
    SetU32(b, 8 + 12 + 4, 8 + 24 + 1);
    reader.Open(std::span<const uint8_t>(b));
    EXPECT_EQ(reader.GetString(1), "");
    EXPECT_EQ(reader.GetString(2), "ab");
}

TEST(TZalStringResource, BinarySearchFindsEveryEntryOfTablesOfAnySize) {
    std::mt19937 rng(1234);
    for (size_t n = 0; n <= 40; ++n) {
        std::map<uint32_t, std::u16string> model;
        while (model.size() < n) {
            const uint32_t number = rng() % 200 + (n % 3 == 0 ? 0xFFFFFF00u : 0u);
            std::u16string text = u"m";
            text += static_cast<char16_t>(u'a' + model.size() % 26);
            model[number] = text;
        }
        std::vector<std::pair<uint32_t, std::u16string>> entries(model.begin(), model.end());
        const Bytes blob = MakeTable(entries);
        TZalStringResource reader;
        reader.Open(std::span<const uint8_t>(blob));
        for (uint32_t probe = 0; probe < 200; ++probe) {
            for (uint32_t number : {probe, 0xFFFFFF00u + probe}) {
                auto it = model.find(number);
                const std::string expected =
                    it == model.end() ? "" : std::string(it->second.begin(), it->second.end());
                EXPECT_EQ(reader.GetString(static_cast<int>(number)), expected)
                    << "size " << n << " number " << number;
            }
        }
    }
}

TEST(TZalStringResource, TextsComeBackInWindows1252) {
    const Bytes blob = MakeTable({
        {1, u"caf\u00E9 \u20AC5"},
        {2, u"\u201Cq\u201D \u2026 \u0178\u017D"},
        {3, u"\u4E2D\u0080x"},                               // no byte for these
        {4, u"a\U0001F600b"},                                // one character, one '?'
        {5, std::u16string(u"a") + char16_t(0xD800) + u"b"}, // lone surrogate
        {6, u"\u0081\u008D\u008F\u0090\u009D\u00FF"},        // bytes the code page leaves open
    });
    TZalStringResource reader;
    reader.Open(std::span<const uint8_t>(blob));
    EXPECT_EQ(reader.GetString(1), "caf\xE9 \x80"
                                   "5");
    EXPECT_EQ(reader.GetString(2), "\x93q\x94 \x85 \x9F\x8E");
    EXPECT_EQ(reader.GetString(3), "??x");
    EXPECT_EQ(reader.GetString(4), "a?b");
    EXPECT_EQ(reader.GetString(5), "a?b");
    EXPECT_EQ(reader.GetString(6), "\x81\x8D\x8F\x90\x9D\xFF");
}

TEST(TZalStringResource, ReportMissingTurnsAnAbsentNumberIntoAnError) {
    const Bytes blob = MakeTable({{3, u"three"}});
    TZalStringResource reader;
    reader.Open(std::span<const uint8_t>(blob));
    EXPECT_EQ(reader.GetString(7), "");
    reader.ReportMissing = true;
    EXPECT_EQ(ReaderError([&] { reader.GetString(7); }), "String not found: 7");
    EXPECT_EQ(ReaderError([&] { reader.GetString(-2); }), "String not found: -2");
    EXPECT_EQ(reader.GetString(3), "three");
    EXPECT_FALSE(LibraryStrings().ReportMissing);
    EXPECT_FALSE(ManagerStrings().ReportMissing);
}

TEST(StringTables, StartUpInstallsTheLibraryTableAsTheTextStoreSource) {
    DoneZalStrings();
    SetTextMessageSource(nullptr);
    EXPECT_EQ(TextMessage(30168), "Unknown"); // the text store alone knows only 30197
    InitZalStrings();
    EXPECT_EQ(TextMessage(30168), "Unknown Error condition");
    EXPECT_STREQ(ETextOutOfMemory().what(), "insufficient memory for requested operation");
    InitZalStrings(); // a second call changes nothing
    EXPECT_EQ(&LibraryStrings(), &LibraryStrings());
    EXPECT_TRUE(ManagerStrings().IsOpen());
    EXPECT_EQ(LibraryMessage(30170), "Command table not found or command table index out of range");
}
