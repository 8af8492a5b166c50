#pragma once
// The text file format's naming and line-end rules: line-end styles, file name
// normalisation and backup names.
#include <string>
#include <string_view>

// How the lines of a document end in its file. The first line end of a loaded file
// decides; a file without one, and a new document, use the platform's line feed.
enum class TLineEnd { Lf, CrLf, Cr };

// The bytes that end a line in the style.
std::string_view LineEndText(TLineEnd style);

// The default backup extension, and the most characters of one that are used.
inline constexpr std::string_view kDefaultBackupExt = "BAK";
constexpr size_t kMaxBackupExtLength = 3;

// A backup extension as a document keeps it: cut to its first three characters.
std::string CutBackupExt(std::string_view ext);

// A file name as a document keeps it: a name of two or more characters that ends in
// "." loses that dot.
std::string NormalizeFileName(std::string_view name);

// The name of the backup of `name`: its extension (from the last "." after the last
// "/", "\" or ":") replaced by "." and the first three characters of `ext`, or that
// appended when it has none. A dot that starts the last part of the name (".profile")
// starts no extension: dot files keep their own names and backups. Equal to `name`
// (compared exactly) when the file already carries the backup extension.
std::string BackupFileName(std::string_view name, std::string_view ext);
