// Build-time resource compiler.
//
//   marvolt_rc strings <source.txt> <output.str0>
//       Compiles a message-table source into a "STR0" blob.
//   marvolt_rc embed <output.cpp> [<type> <name> <file>]...
//       Writes C++ source that holds each file as a byte array and lists them for
//       CompiledResources() (platform/Resources.h).
//
// Message-table source, UTF-8: one message per line, "<number> <text>", numbers
// strictly ascending. Blank lines and lines starting with '#' are ignored. The text runs
// to the end of the line; the escapes \\ \n \r \t and \s (a space, for a text that
// must begin or end with one) are the only uses of the backslash, and a line may not end
// in white space (which would be invisible in the source).
//
// Blob layout (little-endian): "STR0", count N, N index entries of number / byte offset
// from the blob start / length in UTF-16 units, sorted by number, then the UTF-16LE
// texts in index order without gaps.
//
// Any fault in the input ends the tool with "<file>:<line>: error: ..." on stderr and a
// non-zero exit status, and no output file is left behind.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw TFailure(where + ": error: " + what);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path, "cannot open the file");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) Fail(path, "cannot read the file");
    return bytes;
}

// Writes through a temporary file renamed into place, so that a failed run never leaves a
// truncated output that a later build would take for up to date.
void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) Fail(temp, "cannot create the file");
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            Fail(temp, "cannot write the file");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        Fail(path, "cannot replace the file: " + ec.message());
    }
}

// Decodes one UTF-8 sequence at text[i], advancing i; refuses overlong forms,
// surrogates and values above U+10FFFF.
bool DecodeUtf8(const std::string& text, size_t& i, char32_t& cp) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    size_t extra;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        ++i;
        return true;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (text.size() - i <= extra) return false; // truncated sequence
    for (size_t k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
    return true;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

struct TMessage {
    uint32_t Number;
    std::u16string Text;
};

std::u16string ParseText(const std::string& text, const std::string& where) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\\') {
            if (i + 1 >= text.size()) Fail(where, "a lone backslash ends the text (write \\\\)");
            switch (text[i + 1]) {
            case '\\':
                out.push_back(u'\\');
                break;
            case 'n':
                out.push_back(u'\n');
                break;
            case 'r':
                out.push_back(u'\r');
                break;
            case 't':
                out.push_back(u'\t');
                break;
            case 's':
                out.push_back(u' ');
                break;
            default:
                Fail(where, std::string("unknown escape \\") + text[i + 1]);
            }
            i += 2;
            continue;
        }
        char32_t cp;
        if (!DecodeUtf8(text, i, cp)) Fail(where, "the text is not valid UTF-8");
        if (cp < 0x20 && cp != '\t') Fail(where, "a control character in the text");
        AppendUtf16(out, cp);
    }
    return out;
}

std::vector<TMessage> ParseSource(const std::string& path) {
    std::string source = ReadFile(path);
    if (source.compare(0, 3, "\xEF\xBB\xBF") == 0) source.erase(0, 3);

    std::vector<TMessage> messages;
    size_t lineNo = 0;
    for (size_t start = 0; start < source.size();) {
        size_t end = source.find('\n', start);
        if (end == std::string::npos) end = source.size();
        std::string line = source.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string where = path + ":" + std::to_string(lineNo);

        if (line.find_first_not_of(" \t") == std::string::npos) continue; // blank
        if (line[0] == '#') continue;                                     // comment
        if (line[0] < '0' || line[0] > '9') Fail(where, "a line must begin with a message number");

        uint64_t number = 0;
        size_t i = 0;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
            number = number * 10 + static_cast<unsigned>(line[i] - '0');
            if (number > UINT32_MAX) Fail(where, "the message number is too large");
        }
        if (i == line.size()) Fail(where, "message " + std::to_string(number) + " has no text");
        if (line[i] != ' ' && line[i] != '\t')
            Fail(where, "the message number must be followed by a space and the text");
        const std::string text = line.substr(i + 1);
        if (text.empty()) Fail(where, "message " + std::to_string(number) + " has no text");
        if (text.front() == ' ' || text.front() == '\t')
            Fail(where, "white space at the start of the text (write \\s)");
        if (text.back() == ' ' || text.back() == '\t')
            Fail(where, "white space at the end of the line (write \\s)");

        if (!messages.empty() && number <= messages.back().Number) {
            Fail(where, (number == messages.back().Number ? "duplicate message number "
                                                          : "message numbers out of order: ") +
                            std::to_string(number) +
                            (number == messages.back().Number
                                 ? ""
                                 : " follows " + std::to_string(messages.back().Number)));
        }
        messages.push_back({static_cast<uint32_t>(number), ParseText(text, where)});
    }
    if (messages.empty()) Fail(path, "the table has no messages");
    return messages;
}

void PutU32(std::string& out, uint64_t value, const std::string& path) {
    if (value > UINT32_MAX) Fail(path, "the table is too large");
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
}

std::string BuildBlob(const std::vector<TMessage>& messages, const std::string& path) {
    std::string blob = "STR0";
    PutU32(blob, messages.size(), path);
    uint64_t offset = 8 + 12 * static_cast<uint64_t>(messages.size());
    for (const TMessage& m : messages) {
        PutU32(blob, m.Number, path);
        PutU32(blob, offset, path);
        PutU32(blob, m.Text.size(), path);
        offset += 2 * static_cast<uint64_t>(m.Text.size());
    }
    if (offset > UINT32_MAX) Fail(path, "the table is too large");
    for (const TMessage& m : messages)
        for (char16_t unit : m.Text) {
            blob.push_back(static_cast<char>(unit & 0xFF));
            blob.push_back(static_cast<char>(unit >> 8));
        }
    return blob;
}

int CompileStrings(const std::string& source, const std::string& output) {
    WriteFileAtomically(output, BuildBlob(ParseSource(source), source));
    return 0;
}

bool ValidName(const std::string& name) {
    if (name.empty() || name.size() > 255) return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_' || c == '-' || c == '.'))
            return false;
    return true;
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

int Embed(const std::string& output, const std::vector<std::string>& args) {
    if (args.size() % 3 != 0) Fail("embed", "arguments must come as <type> <name> <file>");
    std::ostringstream cpp;
    cpp << "// Generated by marvolt_rc from resources/; edit the sources there.\n"
           "#include \"platform/Resources.h\"\n\nnamespace {\n";
    std::ostringstream table;
    std::set<std::pair<int, std::string>> seen;
    size_t count = 0;
    for (size_t a = 0; a < args.size(); a += 3, ++count) {
        const std::string& typeText = args[a];
        const std::string& name = args[a + 1];
        const std::string& file = args[a + 2];
        char* end = nullptr;
        const long type = std::strtol(typeText.c_str(), &end, 10);
        if (typeText.empty() || *end != '\0' || type < 1 || type > 0xFFFF)
            Fail("embed", "invalid resource type '" + typeText + "'");
        if (!ValidName(name)) Fail("embed", "invalid resource name '" + name + "'");
        if (!seen.insert({static_cast<int>(type), Upper(name)}).second)
            Fail("embed", "resource " + name + " of type " + typeText + " given twice");

        const std::string bytes = ReadFile(file);
        const std::string var = "kBlob" + std::to_string(count);
        if (bytes.empty()) {
            table << "    {" << type << ", \"" << name << "\", nullptr, 0},\n";
            continue;
        }
        cpp << "alignas(4) const uint8_t " << var << "[] = {";
        for (size_t k = 0; k < bytes.size(); ++k) {
            if (k % 16 == 0) cpp << "\n   ";
            cpp << ' ' << static_cast<unsigned>(static_cast<unsigned char>(bytes[k])) << ',';
        }
        cpp << "\n};\n";
        table << "    {" << type << ", \"" << name << "\", " << var << ", sizeof(" << var
              << ")},\n";
    }
    if (count > 0) cpp << "const TResourceBlob kResources[] = {\n" << table.str() << "};\n";
    cpp << "} // namespace\n\nstd::span<const TResourceBlob> CompiledResources() { return "
        << (count > 0 ? "kResources" : "{}") << "; }\n";
    WriteFileAtomically(output, cpp.str());
    return 0;
}

int Usage() {
    std::cerr << "usage: marvolt_rc strings <source.txt> <output.str0>\n"
                 "       marvolt_rc embed <output.cpp> [<type> <name> <file>]...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) return Usage();
    const std::string output = args[0] == "strings" && args.size() == 3 ? args[2] : args[1];
    try {
        if (args[0] == "strings" && args.size() == 3) return CompileStrings(args[1], args[2]);
        if (args[0] == "embed")
            return Embed(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
        return Usage();
    } catch (const TFailure& e) {
        std::cerr << e.what() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "marvolt_rc: error: " << e.what() << '\n';
    }
    std::error_code ec;
    std::filesystem::remove(output, ec); // never leave a stale result behind
    return 1;
}
