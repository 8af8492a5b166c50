#pragma once
// File-system calls of the text file binding. Names are the file system's bytes. On
// failure errno tells why (see LastFileError).
#include <string>

// A regular file (or a link to one) exists under that name.
bool FileExists(const std::string& name);
bool DeleteFile(const std::string& name);
// Renames; fails, leaving both alone, when `to` already exists.
bool MoveFile(const std::string& from, const std::string& to);
bool RenameFile(const std::string& from, const std::string& to);
// The system's text for the last failure of these calls.
std::string LastFileError();
