#include "components/ZalCmd.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "components/ZalSrMgr.h"
#include "platform/Keyboard.h"
#include "platform/VirtualKeys.h"

namespace {

// ---- built-in tables ----

constexpr TZalKeyBinding K(uint16_t key, uint8_t shift, TZalCommand command) {
    return TZalKeyBinding{uint8_t(key), shift, 0, 0, command};
}
constexpr TZalKeyBinding K2(uint16_t key, uint8_t shift, uint16_t key2, uint8_t shift2,
                            TZalCommand command) {
    return TZalKeyBinding{uint8_t(key), shift, uint8_t(key2), shift2, command};
}
constexpr uint8_t ksShiftCtrl = ksShift + ksCtrl;

constexpr std::array<TZalKeyBinding, 64> kDefaultBindings = {{
    K(VK_LEFT, ksNone, ccLeft),
    K(VK_RIGHT, ksNone, ccRight),
    K(VK_LEFT, ksCtrl, ccWordLeft),
    K(VK_RIGHT, ksCtrl, ccWordRight),
    K(VK_HOME, ksNone, ccHome),
    K(VK_END, ksNone, ccEnd),
    K(VK_DELETE, ksNone, ccDel),
    K(VK_BACK, ksNone, ccBack),
    K(VK_BACK, ksShift, ccBack),
    K(VK_PRIOR, ksCtrl, ccTopOfPage),
    K(VK_NEXT, ksCtrl, ccBotOfPage),
    K(VK_INSERT, ksNone, ccIns),
    K('Z', ksCtrl, ccUndo),
    K(VK_BACK, ksAlt, ccRestore),
    K(VK_UP, ksNone, ccUp),
    K(VK_DOWN, ksNone, ccDown),
    K(VK_RETURN, ksCtrl, ccNewLine),
    K(VK_LEFT, ksShift, ccExtendLeft),
    K(VK_RIGHT, ksShift, ccExtendRight),
    K(VK_HOME, ksShift, ccExtendHome),
    K(VK_END, ksShift, ccExtendEnd),
    K(VK_LEFT, ksShiftCtrl, ccExtWordLeft),
    K(VK_RIGHT, ksShiftCtrl, ccExtWordRight),
    K(VK_PRIOR, ksShift, ccExtendPgUp),
    K(VK_NEXT, ksShift, ccExtendPgDn),
    K(VK_UP, ksShift, ccExtendUp),
    K(VK_DOWN, ksShift, ccExtendDown),
    K(VK_HOME, ksShiftCtrl, ccExtFirstPage),
    K(VK_END, ksShiftCtrl, ccExtLastPage),
    K(VK_PRIOR, ksShiftCtrl, ccExtTopOfPage),
    K(VK_NEXT, ksShiftCtrl, ccExtBotOfPage),
    K(VK_DELETE, ksShift, ccCut),
    K('X', ksCtrl, ccCut),
    K(VK_INSERT, ksCtrl, ccCopy),
    K('C', ksCtrl, ccCopy),
    K(VK_INSERT, ksShift, ccPaste),
    K('V', ksCtrl, ccPaste),
    K(VK_PRIOR, ksNone, ccPrevPage),
    K(VK_NEXT, ksNone, ccNextPage),
    K(VK_HOME, ksCtrl, ccFirstPage),
    K(VK_END, ksCtrl, ccLastPage),
    K(VK_TAB, ksNone, ccTab),
    K(VK_TAB, ksCtrl, ccTab),
    K('Z', ksShiftCtrl, ccRedo),
    K('0', ksCtrl, ccGotoMarker0),
    K('1', ksCtrl, ccGotoMarker1),
    K('2', ksCtrl, ccGotoMarker2),
    K('3', ksCtrl, ccGotoMarker3),
    K('4', ksCtrl, ccGotoMarker4),
    K('5', ksCtrl, ccGotoMarker5),
    K('6', ksCtrl, ccGotoMarker6),
    K('7', ksCtrl, ccGotoMarker7),
    K('8', ksCtrl, ccGotoMarker8),
    K('9', ksCtrl, ccGotoMarker9),
    K('0', ksShiftCtrl, ccSetMarker0),
    K('1', ksShiftCtrl, ccSetMarker1),
    K('2', ksShiftCtrl, ccSetMarker2),
    K('3', ksShiftCtrl, ccSetMarker3),
    K('4', ksShiftCtrl, ccSetMarker4),
    K('5', ksShiftCtrl, ccSetMarker5),
    K('6', ksShiftCtrl, ccSetMarker6),
    K('7', ksShiftCtrl, ccSetMarker7),
    K('8', ksShiftCtrl, ccSetMarker8),
    K('9', ksShiftCtrl, ccSetMarker9),
}};

// Every WordStar key is a Ctrl key; a second key may come with or without Ctrl.
constexpr TZalKeyBinding W(char key, TZalCommand command) { return K(uint8_t(key), ksCtrl, command); }
constexpr TZalKeyBinding W2(char key, char key2, TZalCommand command) {
    return K2(uint8_t(key), ksCtrl, uint8_t(key2), ksCtrlOrNone, command);
}

constexpr std::array<TZalKeyBinding, 40> kWordStarBindings = {{
    W('S', ccLeft),
    W('D', ccRight),
    W('E', ccUp),
    W('X', ccDown),
    W('R', ccPrevPage),
    W('C', ccNextPage),
    W('W', ccScrollUp),
    W('Z', ccScrollDown),
    W('A', ccWordLeft),
    W('F', ccWordRight),
    W2('Q', 'S', ccHome),
    W2('Q', 'D', ccEnd),
    W('G', ccDel),
    W('H', ccBack),
    W('Y', ccDelLine),
    W2('Q', 'Y', ccDelEol),
    W('V', ccIns),
    W('T', ccDelWord),
    W('P', ccCtrlChar),
    W2('Q', 'L', ccRestore),
    W2('Q', '0', ccGotoMarker0),
    W2('Q', '1', ccGotoMarker1),
    W2('Q', '2', ccGotoMarker2),
    W2('Q', '3', ccGotoMarker3),
    W2('Q', '4', ccGotoMarker4),
    W2('Q', '5', ccGotoMarker5),
    W2('Q', '6', ccGotoMarker6),
    W2('Q', '7', ccGotoMarker7),
    W2('Q', '8', ccGotoMarker8),
    W2('Q', '9', ccGotoMarker9),
    W2('K', '0', ccSetMarker0),
    W2('K', '1', ccSetMarker1),
    W2('K', '2', ccSetMarker2),
    W2('K', '3', ccSetMarker3),
    W2('K', '4', ccSetMarker4),
    W2('K', '5', ccSetMarker5),
    W2('K', '6', ccSetMarker6),
    W2('K', '7', ccSetMarker7),
    W2('K', '8', ccSetMarker8),
    W2('K', '9', ccSetMarker9),
}};

constexpr std::array<TZalKeyBinding, 38> kGridBindings = {{
    K(VK_LEFT, ksNone, ccLeft),
    K(VK_RIGHT, ksNone, ccRight),
    K(VK_LEFT, ksCtrl, ccPageLeft),
    K(VK_RIGHT, ksCtrl, ccPageRight),
    K(VK_HOME, ksNone, ccHome),
    K(VK_END, ksNone, ccEnd),
    K(VK_DELETE, ksNone, ccDel),
    K(VK_BACK, ksNone, ccBack),
    K(VK_NEXT, ksCtrl, ccBotOfPage),
    K(VK_PRIOR, ksCtrl, ccTopOfPage),
    K(VK_INSERT, ksNone, ccIns),
    K('Z', ksCtrl, ccRestore),
    K(VK_UP, ksNone, ccUp),
    K(VK_DOWN, ksNone, ccDown),
    K(VK_LEFT, ksShift, ccExtendLeft),
    K(VK_RIGHT, ksShift, ccExtendRight),
    K(VK_HOME, ksShift, ccExtendHome),
    K(VK_END, ksShift, ccExtendEnd),
    K(VK_LEFT, ksShiftCtrl, ccExtWordLeft),
    K(VK_RIGHT, ksShiftCtrl, ccExtWordRight),
    K(VK_PRIOR, ksShift, ccExtendPgUp),
    K(VK_NEXT, ksShift, ccExtendPgDn),
    K(VK_UP, ksShift, ccExtendUp),
    K(VK_DOWN, ksShift, ccExtendDown),
    K(VK_HOME, ksShiftCtrl, ccExtFirstPage),
    K(VK_END, ksShiftCtrl, ccExtLastPage),
    K(VK_PRIOR, ksShiftCtrl, ccExtTopOfPage),
    K(VK_NEXT, ksShiftCtrl, ccExtBotOfPage),
    K('X', ksCtrl, ccCut),
    K('C', ksCtrl, ccCopy),
    K('V', ksCtrl, ccPaste),
    K(VK_PRIOR, ksNone, ccPrevPage),
    K(VK_HOME, ksCtrl, ccFirstPage),
    K(VK_NEXT, ksNone, ccNextPage),
    K(VK_END, ksCtrl, ccLastPage),
    K(VK_UP, ksCtrl, ccTopLeftCell),
    K(VK_DOWN, ksCtrl, ccBotRightCell),
    K(VK_F2, ksNone, ccTableEdit),
}};

constexpr int kBuiltinNameMessages[] = {zmsg::TableDefault, zmsg::TableWordStar, zmsg::TableGrid};

bool IsModifierOrLockKey(uint16_t key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_CAPITAL ||
           key == VK_NUMLOCK || key == VK_SCROLL;
}

// ---- files ----

std::string Quoted(const std::string& fileName) { return "'" + fileName + "'"; }

[[noreturn]] void RaiseFileError(const char* what, const std::string& fileName, int err) {
    throw EInOutError(std::string(what) + " command table file " + Quoted(fileName) + ": " +
                          std::strerror(err),
                      err);
}

std::string ReadWholeFile(const std::string& fileName) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) RaiseFileError("Cannot open", fileName, errno);
    std::string data;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) RaiseFileError("Cannot read", fileName, err ? err : EIO);
    return data;
}

// Writes the whole text to a new file beside the target and renames it over the target,
// so that a failed write leaves any old file as it was.
void WriteWholeFile(const std::string& fileName, const std::string& data) {
    std::string tmp = fileName + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) RaiseFileError("Cannot create", fileName, errno);
    struct stat st{};
    mode_t mode;
    if (::stat(fileName.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int err = 0;
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += static_cast<size_t>(w);
    }
    if (!err && ::fchmod(fd, mode) != 0) err = errno;
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && std::rename(tmp.c_str(), fileName.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(tmp.c_str());
        RaiseFileError("Cannot write", fileName, err);
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// Splits at CR LF, lone CR or lone LF; a final line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view data) {
    std::vector<std::string_view> lines;
    size_t start = 0, i = 0;
    while (i < data.size()) {
        if (data[i] == '\r' || data[i] == '\n') {
            lines.push_back(data.substr(start, i - start));
            if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < data.size()) lines.push_back(data.substr(start));
    return lines;
}

// Range check for 32-bit stream integers: signed or unsigned readings of 32 bits.
bool Fits32(int64_t v) { return v >= INT32_MIN && v <= int64_t(UINT32_MAX); }

// Applies one stored difference to a table that started as the built-in array: an
// unknown key is appended, a known one takes the new command in place, or is deleted
// when the command is 0.
void ApplyDifference(TZalCommandTable& table, const TZalKeyBinding& b) {
    const int i = table.IndexOfKeys(b);
    if (i == -1)
        table.AppendBinding(b);
    else if (b.Command != 0)
        table.ReplaceBinding(i, b);
    else
        table.DeleteBinding(i);
}

// ---- table names ----

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string FoldedAscii(std::string_view name) {
    std::string s(name);
    for (char& c : s) c = UpperAscii(c);
    return s;
}

// The names of a table list, compared ignoring ASCII case, with the first numeric suffix
// of each base name not yet known to be taken: naming n tables costs about n look-ups
// instead of a scan of the list for every candidate.
class TTableNamer {
public:
    void Take(std::string_view name) { taken_.insert(FoldedAscii(name)); }

    // The name a table called `name` gets when it is added (now taken). Trailing digits
    // are a previous suffix, except when they are the whole name; the name is kept when
    // neither its base nor the name itself is taken.
    std::string Unique(const std::string& name) {
        size_t baseLength = name.size();
        while (baseLength >= 2 && name[baseLength - 1] >= '0' && name[baseLength - 1] <= '9')
            --baseLength;
        const std::string base = name.substr(0, baseLength);
        if (!Taken(base) && (baseLength == name.size() || !Taken(name))) {
            Take(name);
            return name;
        }
        // Every suffix below the remembered one is taken, and names are never given back.
        int& suffix = nextSuffix_[FoldedAscii(base)];
        std::string candidate;
        do candidate = base + std::to_string(++suffix);
        while (Taken(candidate));
        Take(candidate);
        return candidate;
    }

private:
    bool Taken(std::string_view name) const { return taken_.count(FoldedAscii(name)) > 0; }

    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, int> nextSuffix_;
};

} // namespace

// ---- helpers shared with callers ----

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

std::span<const TZalKeyBinding> BuiltinBindings(TZalBuiltinTable table) {
    switch (table) {
    case TZalBuiltinTable::btDefault: return kDefaultBindings;
    case TZalBuiltinTable::btWordStar: return kWordStarBindings;
    case TZalBuiltinTable::btGrid: return kGridBindings;
    }
    return {};
}

std::string BuiltinTableName(TZalBuiltinTable table) {
    return LibraryMessage(kBuiltinNameMessages[static_cast<int>(table)]);
}

int BuiltinTableIndex(std::string_view name) {
    for (int i = 0; i < 3; ++i)
        if (SameTextAscii(name, LibraryMessage(kBuiltinNameMessages[i]))) return i;
    return -1;
}

// ---- TZalCommandTable ----

TZalCommandTable::TZalCommandTable() : TableName(LibraryMessage(zmsg::TableUnknown)) {}

void TZalCommandTable::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit)
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TZalKeyBinding TZalCommandTable::GetBinding(int index) const {
    CheckIndex(index, BindingCount());
    return *bindings_[static_cast<size_t>(index)];
}

int TZalCommandTable::AppendBinding(const TZalKeyBinding& binding) {
    bindings_.push_back(std::make_unique<TZalKeyBinding>(binding));
    return BindingCount() - 1;
}

void TZalCommandTable::InsertBinding(int index, const TZalKeyBinding& binding) {
    CheckIndex(index, BindingCount() + 1);
    bindings_.insert(bindings_.begin() + index, std::make_unique<TZalKeyBinding>(binding));
}

void TZalCommandTable::ReplaceBinding(int index, const TZalKeyBinding& binding) {
    CheckIndex(index, BindingCount());
    bindings_[static_cast<size_t>(index)] = std::make_unique<TZalKeyBinding>(binding);
}

void TZalCommandTable::DeleteBinding(int index) {
    CheckIndex(index, BindingCount());
    bindings_.erase(bindings_.begin() + index);
}

int TZalCommandTable::IndexOfKeys(const TZalKeyBinding& binding) const {
    const int32_t keys = binding.KeySequence();
    for (size_t i = 0; i < bindings_.size(); ++i)
        if (bindings_[i]->KeySequence() == keys) return static_cast<int>(i);
    return -1;
}

void TZalCommandTable::ClearBindings() { bindings_.clear(); }

void TZalCommandTable::SaveToTextFile(const std::string& fileName) const {
    // The name fills line 1; a line break in it would come back as a binding line.
    if (TableName.find_first_of("\r\n") != std::string::npos)
        throw EInOutError("Cannot write command table file " + Quoted(fileName) +
                              ": the table name contains a line break",
                          EINVAL);
    std::string text = TableName + "\r\n";
    char line[64];
    for (const auto& b : bindings_) {
        std::snprintf(line, sizeof line, "%4u%4u%4u%4u%6u\r\n", unsigned(b->FirstKey),
                      unsigned(b->FirstShift), unsigned(b->SecondKey), unsigned(b->SecondShift),
                      unsigned(b->Command));
        text += line;
    }
    WriteWholeFile(fileName, text);
}

void TZalCommandTable::LoadFromTextFile(const std::string& fileName) {
    const std::string data = ReadWholeFile(fileName);
    const std::vector<std::string_view> lines = SplitLines(data);
    auto bad = [&](size_t lineIndex, const std::string& what) {
        throw EInOutError("Command table file " + Quoted(fileName) + ", line " +
                              std::to_string(lineIndex + 1) + ": " + what,
                          EINVAL);
    };

    std::vector<std::unique_ptr<TZalKeyBinding>> read;
    for (size_t li = 1; li < lines.size(); ++li) {
        const std::string_view line = lines[li];
        size_t p = 0;
        int64_t values[5];
        int count = 0;
        while (count < 5) {
            while (p < line.size() && IsBlank(line[p])) ++p;
            if (p >= line.size()) break;
            const size_t start = p;
            while (p < line.size() && !IsBlank(line[p])) ++p;
            const std::string_view word = line.substr(start, p - start);
            const std::errc ec = ParseStreamInteger(word, values[count]);
            if (ec == std::errc::result_out_of_range)
                bad(li, "number out of range: " + std::string(word));
            if (ec != std::errc()) bad(li, "not a number: " + std::string(word));
            ++count;
        }
        if (count == 0) continue; // a blank line holds no binding
        if (count < 5)
            bad(li, "five numbers expected, found " + std::to_string(count));
        // The rest of the line is ignored.
        read.push_back(std::make_unique<TZalKeyBinding>(
            TZalKeyBinding{uint8_t(values[0]), uint8_t(values[1]), uint8_t(values[2]),
                           uint8_t(values[3]), uint16_t(values[4])}));
    }
    TableName = lines.empty() ? std::string() : std::string(lines[0]);
    bindings_ = std::move(read);
}

void TZalCommandTable::ReadCommandList(TZalValueReader& reader) {
    std::string name = reader.ReadString();
    const bool active = reader.ReadBoolean();
    reader.ReadListBegin();

    auto readInt32 = [&](const char* what) {
        const int line = reader.Line();
        const int64_t v = reader.ReadInteger();
        if (!Fits32(v))
            throw EZalStreamError(line, std::string(what) + " out of range: " + std::to_string(v));
        return v;
    };

    // Read into a scratch table so that a malformed stream leaves this one untouched.
    TZalCommandTable scratch;
    const int builtin = BuiltinTableIndex(name);
    // A built-in name followed by a nested list holds the table in full.
    const bool full = builtin >= 0 && reader.NextValue() == TZalValueKind::vkListBegin;
    if (full) reader.ReadListBegin();
    const bool differences = builtin >= 0 && !full;
    if (differences) {
        for (const TZalKeyBinding& b : BuiltinBindings(static_cast<TZalBuiltinTable>(builtin)))
            scratch.AppendBinding(b);
    }
    while (!reader.EndOfList()) {
        const auto keys = static_cast<int32_t>(static_cast<uint32_t>(readInt32("key sequence")));
        const auto command = static_cast<uint16_t>(readInt32("command"));
        const TZalKeyBinding b = TZalKeyBinding::FromSequence(keys, command);
        if (differences)
            ApplyDifference(scratch, b);
        else
            scratch.AppendBinding(b);
    }
    reader.ReadListEnd();
    if (full) reader.ReadListEnd();

    TableName = std::move(name);
    IsActive = active;
    bindings_ = std::move(scratch.bindings_);
}

std::optional<std::vector<TZalKeyBinding>>
TZalCommandTable::Differences(std::span<const TZalKeyBinding> data) const {
    std::vector<TZalKeyBinding> pairs;
    for (const TZalKeyBinding& b : data)
        if (IndexOfKeys(b) == -1) pairs.push_back(TZalKeyBinding::FromSequence(b.KeySequence(), 0));
    for (const auto& b : bindings_) {
        const bool inBuiltin = std::any_of(data.begin(), data.end(), [&](const TZalKeyBinding& d) {
            return d.KeySequence() == b->KeySequence() && d.Command == b->Command;
        });
        if (!inBuiltin) pairs.push_back(*b);
    }
    TZalCommandTable replay;
    for (const TZalKeyBinding& b : data) replay.AppendBinding(b);
    for (const TZalKeyBinding& b : pairs) ApplyDifference(replay, b);
    const bool same = std::equal(bindings_.begin(), bindings_.end(), replay.bindings_.begin(),
                                 replay.bindings_.end(),
                                 [](const auto& a, const auto& b) { return *a == *b; });
    if (!same) return std::nullopt;
    return pairs;
}

void TZalCommandTable::WriteCommandList(TZalValueWriter& writer) const {
    writer.WriteString(TableName);
    writer.WriteBoolean(IsActive);
    writer.WriteListBegin();
    auto pair = [&](const TZalKeyBinding& b) {
        writer.WriteInteger(b.KeySequence());
        writer.WriteInteger(b.Command);
    };
    const int builtin = BuiltinTableIndex(TableName);
    std::optional<std::vector<TZalKeyBinding>> differences;
    if (builtin >= 0) differences = Differences(BuiltinBindings(static_cast<TZalBuiltinTable>(builtin)));
    if (differences) {
        for (const TZalKeyBinding& b : *differences) pair(b);
    } else {
        // Every binding. A built-in name the differences cannot say (a key bound twice, a
        // built-in key bound to 0, built-in keys out of their order) puts them in a nested
        // list, which tells the reader not to apply them to the built-in data.
        const bool nested = builtin >= 0;
        if (nested) writer.WriteListBegin();
        for (const auto& b : bindings_) pair(*b);
        if (nested) writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void TZalCommandTable::DefineProperties(TFiler& filer) {
    filer.DefineProperty(
        "CommandList", [this](TZalValueReader& r) { ReadCommandList(r); },
        [this](TZalValueWriter& w) { WriteCommandList(w); }, BindingCount() > 0);
}

// ---- TZalCommandProcessor ----

TZalCommandProcessor::TZalCommandProcessor() {
    const bool active[] = {true, false, false};
    for (int t = 0; t < 3; ++t) {
        const auto which = static_cast<TZalBuiltinTable>(t);
        const std::string name = BuiltinTableName(which);
        CreateTable(name, active[t]);
        for (const TZalKeyBinding& b : BuiltinBindings(which)) AddBinding(name, b);
    }
    ResetState();
}

void TZalCommandProcessor::CheckTableIndex(int index) const {
    if (index < 0 || index >= TableCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TZalCommandTable& TZalCommandProcessor::Tables(int index) {
    CheckTableIndex(index);
    return *tables_[static_cast<size_t>(index)];
}

const TZalCommandTable& TZalCommandProcessor::Tables(int index) const {
    CheckTableIndex(index);
    return *tables_[static_cast<size_t>(index)];
}

TZalCommandTable* TZalCommandProcessor::FindTable(std::string_view name) const {
    for (const auto& t : tables_)
        if (SameTextAscii(t->TableName, name)) return t.get();
    return nullptr;
}

int TZalCommandProcessor::AddTable(std::unique_ptr<TZalCommandTable> table) {
    TTableNamer names;
    for (const auto& t : tables_) names.Take(t->TableName);
    table->TableName = names.Unique(table->TableName);
    tables_.push_back(std::move(table));
    return TableCount() - 1;
}

int TZalCommandProcessor::CreateTable(const std::string& name, bool active) {
    auto table = std::make_unique<TZalCommandTable>();
    table->TableName = name;
    table->IsActive = active;
    return AddTable(std::move(table));
}

int TZalCommandProcessor::AddBinding(std::string_view tableName, const TZalKeyBinding& binding) {
    TZalCommandTable* table = FindTable(tableName);
    if (!table) throw ETableNotFound();
    if (table->IndexOfKeys(binding) != -1) throw EDuplicateCommand();
    return table->AppendBinding(binding);
}

void TZalCommandProcessor::ClearTables() { tables_.clear(); }

void TZalCommandProcessor::ResetState() {
    state_ = tsIdle;
    prefixKey_ = 0;
    prefixShift_ = 0;
}

TZalCommand TZalCommandProcessor::TranslateKeyMessage(const TMessage& message) {
    const auto key = static_cast<uint8_t>(message.WParam & 0xFF);
    uint8_t shift = ksNone;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ksCtrl;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ksShift;
    if (GetKeyState(VK_MENU) < 0) shift |= ksAlt;
    return Translate(key, shift);
}

TZalCommand TZalCommandProcessor::TranslateKeyShift(uint16_t key, TShiftState shift) {
    uint8_t bits = ksNone;
    if (shift & ssShift) bits |= ksShift;
    if (shift & ssCtrl) bits |= ksCtrl;
    if (shift & ssAlt) bits |= ksAlt;
    return Translate(key, bits);
}

TZalCommand TZalCommandProcessor::MatchTable(const TZalCommandTable& table, uint8_t key,
                                             uint8_t shift) {
    for (int i = 0, n = table.BindingCount(); i < n; ++i) {
        const TZalKeyBinding& b = *table.bindings_[static_cast<size_t>(i)];
        if (state_ == tsAwaitSecondKey) {
            const bool fits =
                b.FirstKey == prefixKey_ && b.FirstShift == prefixShift_ && b.SecondKey == key &&
                (b.SecondShift == shift ||
                 (b.SecondShift == ksCtrlOrNone && (shift == ksNone || shift == ksCtrl)));
            if (!fits) continue;
            // Completing a sequence ends it, even on a zero command: the later tables
            // then see this key as a first key.
            state_ = b.Command == ccCtrlChar ? tsLiteralNext : tsIdle;
            return b.Command;
        }
        if (b.FirstKey != key || b.FirstShift != shift) continue;
        if (b.SecondKey != 0) {
            state_ = tsAwaitSecondKey;
            prefixKey_ = key;
            prefixShift_ = shift;
            return ccPending;
        }
        if (b.Command == ccNone) return ccNone;
        if (b.Command == ccCtrlChar) state_ = tsLiteralNext;
        return b.Command;
    }
    return ccNone;
}

TZalCommand TZalCommandProcessor::Translate(uint16_t key, uint8_t shift) {
    // Modifier and lock keys leave a pending prefix or literal-next state alone.
    if (IsModifierOrLockKey(key)) return state_ == tsAwaitSecondKey ? ccPending : ccUnbound;
    if (state_ == tsLiteralNext) {
        state_ = tsIdle;
        return ccUnbound;
    }
    const auto key8 = static_cast<uint8_t>(key & 0xFF);
    for (const auto& table : tables_) {
        if (!table->IsActive) continue;
        if (const TZalCommand result = MatchTable(*table, key8, shift); result != ccNone)
            return result;
    }
    const TZalCommand result = state_ == tsAwaitSecondKey ? ccDiscard : ccUnbound;
    state_ = tsIdle;
    return result;
}

int TZalCommandProcessor::LoadTableFromFile(const std::string& fileName) {
    auto table = std::make_unique<TZalCommandTable>();
    table->LoadFromTextFile(fileName); // on failure the new table is freed here
    return AddTable(std::move(table));
}

void TZalCommandProcessor::SaveTableToFile(std::string_view tableName, const std::string& fileName) {
    if (const TZalCommandTable* table = FindTable(tableName)) table->SaveToTextFile(fileName);
}

void TZalCommandProcessor::ReadTableList(TZalValueReader& reader) {
    // Built aside and swapped in at the end: a malformed stream changes nothing.
    TTableList read;
    TTableNamer names;
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        auto table = std::make_unique<TZalCommandTable>();
        table->ReadCommandList(reader);
        table->TableName = names.Unique(table->TableName);
        read.push_back(std::move(table));
    }
    reader.ReadListEnd();
    tables_ = std::move(read);
}

void TZalCommandProcessor::WriteTableList(TZalValueWriter& writer) const {
    writer.WriteListBegin();
    for (const auto& t : tables_) t->WriteCommandList(writer);
    writer.WriteListEnd();
}

void TZalCommandProcessor::DefineProperties(TFiler& filer) {
    filer.DefineProperty(
        "TableList", [this](TZalValueReader& r) { ReadTableList(r); },
        [this](TZalValueWriter& w) { WriteTableList(w); }, TableCount() > 0);
}
