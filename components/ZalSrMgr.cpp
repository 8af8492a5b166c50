#include "components/ZalSrMgr.h"

#include "components/ZalExcpt.h"
#include "platform/Cp1252.h"
#include "platform/Resources.h"
#include "text/TextErrors.h"

#include <memory>

namespace {
constexpr size_t kHeaderSize = 8;
constexpr size_t kEntrySize = 12;
constexpr size_t kMaxNameLength = 255;

// Only the GUI thread uses the process-wide readers. Plain pointers, so that they stay
// usable however late in the shutdown someone asks for a message.
TZalStringResource* g_manager = nullptr;
TZalStringResource* g_library = nullptr;
bool g_creatingManager = false;
bool g_fetchingReaderText = false;

// Creates the reader on its own table unless it exists or is being created right now
// (its own Open failing must not start a second one).
void EnsureManager() {
    if (g_manager || g_creatingManager) return;
    g_creatingManager = true;
    try {
        g_manager = std::make_unique<TZalStringResource>(kManagerStringsName).release();
    } catch (...) {
        g_creatingManager = false;
        throw;
    }
    g_creatingManager = false;
}

// Table texts are UTF-16 little-endian, shown as Windows-1252 bytes ('?' where 1252
// has no character).
std::string Utf16LeToCp1252(const uint8_t* data, size_t units) {
    std::u16string text(units, u'\0');
    for (size_t i = 0; i < units; ++i)
        text[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    return Utf16ToCp1252(text);
}

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Replaces each %s or %d of `format` by `arg` and "%%" by "%"; any other '%' stays as it
// is. Table texts are data, so they never reach a printf-style formatter.
std::string FormatWith(const std::string& format, const std::string& arg) {
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            const char c = format[i + 1];
            if (c == 's' || c == 'd') {
                out += arg;
                ++i;
                continue;
            }
            if (c == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

// The reader's message `number` from its own table, or "" while that table is itself
// being opened (or could not be), or when the lookup would recurse.
std::string ReaderText(int number) {
    std::string text;
    try {
        EnsureManager();
    } catch (...) {
        return text;
    }
    if (g_manager && g_manager->IsOpen() && !g_fetchingReaderText) {
        g_fetchingReaderText = true;
        try {
            text = g_manager->GetString(number);
        } catch (...) {
            text.clear();
        }
        g_fetchingReaderText = false;
    }
    return text;
}

[[noreturn]] void RaiseReaderError(int number, const std::string& arg = std::string()) {
    const std::string text = ReaderText(number);
    if (!text.empty()) throw EZalStringResourceError(FormatWith(text, arg));
    // Without the reader's own table the failure is still reported, by number.
    throw EZalStringResourceError("String resource error " + std::to_string(number) +
                                  (arg.empty() ? "" : ": " + arg));
}

// Clears the locked pointer when a lookup or check ends, however it ends.
class TLock {
public:
    TLock(const uint8_t*& locked, std::span<const uint8_t> resource) : locked_(locked) {
        locked_ = resource.empty() ? nullptr : resource.data();
    }
    ~TLock() { locked_ = nullptr; }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;
    const uint8_t* Data() const { return locked_; }

private:
    const uint8_t*& locked_;
};

// A table is taken only when every read a lookup can make stays inside it: the header
// and the index fit, each text lies in the data area after the index, and the index is
// strictly ascending (the binary search relies on it).
bool WellFormed(std::span<const uint8_t> blob) {
    const uint8_t* p = blob.data();
    const size_t size = blob.size();
    if (size < kHeaderSize || p[0] != 'S' || p[1] != 'T' || p[2] != 'R' || p[3] != '0')
        return false;
    const uint64_t count = ReadU32(p + 4);
    if (count > (size - kHeaderSize) / kEntrySize) return false;
    const uint64_t dataStart = kHeaderSize + kEntrySize * count;
    for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* entry = p + kHeaderSize + kEntrySize * i;
        const uint64_t offset = ReadU32(entry + 4);
        const uint64_t length = ReadU32(entry + 8);
        if (offset < dataStart || offset > size || 2 * length > size - offset) return false;
        if (i > 0 && ReadU32(entry) <= ReadU32(entry - kEntrySize)) return false;
    }
    return true;
}
} // namespace

TZalStringResource::TZalStringResource(std::string_view resourceName) {
    Open(resourceName);
}

TZalStringResource::~TZalStringResource() {
    Close();
}

void TZalStringResource::Open(std::string_view resourceName) {
    Close();
    // The name as a zero-terminated buffer of at most 255 characters would hold it.
    resourceName = resourceName.substr(0, resourceName.find('\0'));
    if (resourceName.empty()) return;
    const std::string name(resourceName.substr(0, kMaxNameLength));
    std::span<const uint8_t> bytes;
    if (!FindResourceBlob(RT_RCDATA, name, bytes)) RaiseReaderError(srmsg::ResourceNotFound, name);
    if (bytes.empty()) RaiseReaderError(srmsg::CannotOpen, name);
    OpenValidated(bytes);
}

void TZalStringResource::Open(std::span<const uint8_t> blob) {
    Close();
    OpenValidated(blob);
}

void TZalStringResource::OpenValidated(std::span<const uint8_t> blob) {
    bool valid;
    {
        TLock lock(locked_, blob);
        valid = lock.Data() && WellFormed(blob);
    }
    if (!valid) RaiseReaderError(srmsg::InvalidResource);
    resource_ = blob;
}

void TZalStringResource::Close() {
    locked_ = nullptr;
    resource_ = {};
}

std::string TZalStringResource::GetString(int number) {
    std::string text;
    bool found = false;
    {
        TLock lock(locked_, resource_);
        const uint8_t* p = lock.Data();
        if (!p) RaiseReaderError(srmsg::CannotLock);
        const uint32_t wanted = static_cast<uint32_t>(number);
        int64_t lo = 0;
        int64_t hi = static_cast<int64_t>(ReadU32(p + 4)) - 1;
        while (hi >= lo) {
            const uint64_t mid = static_cast<uint64_t>(lo + hi) / 2;
            const uint8_t* entry = p + kHeaderSize + kEntrySize * mid;
            const uint32_t entryNumber = ReadU32(entry);
            if (entryNumber == wanted) {
                text = Utf16LeToCp1252(p + ReadU32(entry + 4), ReadU32(entry + 8));
                found = true;
                break;
            }
            if (entryNumber < wanted)
                lo = static_cast<int64_t>(mid) + 1;
            else
                hi = static_cast<int64_t>(mid) - 1;
        }
    }
    if (!found && ReportMissing) RaiseReaderError(srmsg::StringNotFound, std::to_string(number));
    return text;
}

void InitZalStrings() {
    // A reader is published only once its table is open, so a failed start leaves
    // nothing half made and the next call tries again.
    EnsureManager();
    if (!g_library) {
        g_library = std::make_unique<TZalStringResource>(kLibraryStringsName).release();
        SetTextMessageSource(&LibraryMessage);
    }
}

void DoneZalStrings() {
    if (g_library) SetTextMessageSource(nullptr);
    delete g_library;
    g_library = nullptr;
    delete g_manager;
    g_manager = nullptr;
}

namespace {
// The readers go at shutdown, as the rest of the process's objects do.
struct TShutdown {
    ~TShutdown() { DoneZalStrings(); }
} g_shutdown;
} // namespace

TZalStringResource& LibraryStrings() {
    InitZalStrings();
    return *g_library;
}

TZalStringResource& ManagerStrings() {
    InitZalStrings();
    return *g_manager;
}

std::string LibraryMessage(int number) {
    std::string text = LibraryStrings().GetString(number);
    return text.empty() ? std::string("Unknown") : text;
}
