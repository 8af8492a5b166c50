#pragma once
// Reader of the library's "STR0" message tables.
//
// A table is a raw-data resource (RT_RCDATA): the magic "STR0", an entry count, index
// entries of message number / byte offset of the text / text length in UTF-16 units
// sorted by number, then the UTF-16LE texts. Texts come back in the program's byte
// code page (Windows-1252).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Resource names of the two tables the process keeps open.
constexpr std::string_view kLibraryStringsName = "CORVANE3_STRINGS_ENGLISH";
constexpr std::string_view kManagerStringsName = "ZALSRMGR_STRINGS";

// Numbers of the reader's own messages (in the ZALSRMGR_STRINGS table).
namespace srmsg {
constexpr int StringNotFound = 1; // "%d": the number
constexpr int CannotLock = 2;
constexpr int ResourceNotFound = 3; // "%s": the resource name
constexpr int CannotOpen = 4;       // "%s": the resource name
constexpr int InvalidResource = 5;
} // namespace srmsg

class TZalStringResource {
public:
    // A closed reader: every GetString fails with "Cannot lock resource" until Open.
    TZalStringResource() = default;
    // Opens the named resource (see Open).
    explicit TZalStringResource(std::string_view resourceName);
    ~TZalStringResource();
    TZalStringResource(const TZalStringResource&) = delete;
    TZalStringResource& operator=(const TZalStringResource&) = delete;

    // Closes, then opens the raw-data resource `resourceName` (at most 255 characters are
    // used; an empty name leaves the reader closed). Raises EZalStringResourceError with
    // "String resource not found: <name>" when there is no such resource, "Unable to open
    // string resource: <name>" when it holds no bytes, and "Invalid ZalString resource"
    // when it is not a well-formed table; the reader is closed after any failure.
    void Open(std::string_view resourceName);
    // The same on a table the caller holds; `blob` must outlive the reader's use of it.
    void Open(std::span<const uint8_t> blob);
    void Close();
    bool IsOpen() const { return !resource_.empty(); }

    // The text of `number`. An absent number gives "" or, with ReportMissing, raises
    // "String not found: <number>". A closed reader raises "Cannot lock resource".
    std::string GetString(int number);

    // When true, a number absent from the table is an error.
    bool ReportMissing = false;

private:
    void OpenValidated(std::span<const uint8_t> blob);

    std::span<const uint8_t> resource_; // the loaded resource
    const uint8_t* locked_ = nullptr;   // the resource bytes while a lookup runs
};

// Creates the process-wide readers if they do not exist yet (the reader's own table
// first, then the library table) and lets the text store take its messages from the
// library table. The program calls it at start-up; the accessors below call it too.
void InitZalStrings();
// Closes and destroys both readers (at shutdown; InitZalStrings may create them again).
void DoneZalStrings();

// The reader on the library table, CORVANE3_STRINGS_ENGLISH.
TZalStringResource& LibraryStrings();
// The reader on the reader's own table, ZALSRMGR_STRINGS.
TZalStringResource& ManagerStrings();

// The text of library message `number` in the process's byte code page, or "Unknown"
// when the library table has no such number.
std::string LibraryMessage(int number);
