// The text file format's naming and line-end rules.
#include "editor/TextFileFormat.h"

std::string_view LineEndText(TLineEnd style) {
    switch (style) {
    case TLineEnd::CrLf: return "\r\n";
    case TLineEnd::Cr: return "\r";
    case TLineEnd::Lf: break;
    }
    return "\n";
}

std::string CutBackupExt(std::string_view ext) {
    return std::string(ext.substr(0, kMaxBackupExtLength));
}

std::string NormalizeFileName(std::string_view name) {
    if (name.size() >= 2 && name.back() == '.') name.remove_suffix(1);
    return std::string(name);
}

std::string BackupFileName(std::string_view name, std::string_view ext) {
    const size_t sep = name.find_last_of("/\\:");
    const size_t partStart = sep == std::string_view::npos ? 0 : sep + 1;
    size_t dot = name.rfind('.');
    // Leading dots name hidden files; they start no extension.
    const size_t firstOther = name.find_first_not_of('.', partStart);
    if (dot == std::string_view::npos || dot < partStart || firstOther == std::string_view::npos ||
        dot < firstOther)
        dot = name.size();
    std::string backup(name.substr(0, dot));
    backup += '.';
    backup += ext.substr(0, kMaxBackupExtLength);
    return backup;
}
