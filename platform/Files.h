#pragma once
// File-system calls of the text file binding. Names are the file system's bytes.
//
// The name-level calls of the first group report failure through LastFileError. The
// handle and replacement calls below them return 0 on success or the errno value of
// the failure, so that callers can name the system's reason without a global.
#include <cstddef>
#include <cstdint>
#include <string>

// A regular file (or a link to one) exists under that name.
bool FileExists(const std::string& name);
bool DeleteFile(const std::string& name);
// Renames; fails, leaving both alone, when `to` already exists.
bool MoveFile(const std::string& from, const std::string& to);
bool RenameFile(const std::string& from, const std::string& to);
// The system's text for the last failure of these calls.
std::string LastFileError();

// The system's text for an errno value.
std::string FileErrorText(int err);

// What the file system says about a name (links followed).
struct TFileStatus {
    bool Exists = false;
    bool IsRegular = false;
    bool IsDirectory = false;
    int64_t Size = 0;
    unsigned Mode = 0; // permission bits, set-id and sticky bits included
    unsigned Owner = 0;
    unsigned Group = 0;
};

// Status of a name; a name that does not exist gives Exists false and returns 0.
int StatFile(const std::string& name, TFileStatus& status);

// An open file descriptor, closed when the handle goes. Reads and writes retry
// interrupted calls and short transfers.
class TFileHandle {
public:
    TFileHandle() = default;
    ~TFileHandle();
    TFileHandle(TFileHandle&& other) noexcept;
    TFileHandle& operator=(TFileHandle&& other) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Opens an existing file for reading; a directory gives EISDIR.
    int OpenForReading(const std::string& name);
    // Opens an existing file for reading and writing, without truncating it.
    int OpenForUpdate(const std::string& name);
    // Opens a file for writing from its start, creating it with `mode` (umask applied)
    // when it does not exist; truncates it.
    int OpenForOverwrite(const std::string& name, unsigned mode);
    int Status(TFileStatus& status) const;
    // Reads up to size bytes; got is 0 at the end of the file.
    int Read(void* buffer, std::size_t size, std::size_t& got);
    // Writes all bytes at the current position; a write that takes nothing is ENOSPC.
    int Write(const void* data, std::size_t size);
    // Writes all bytes at offset, leaving the current position alone.
    int WriteAt(const void* data, std::size_t size, int64_t offset);
    // Secures disk space for the first size bytes (a file system that cannot do this
    // ahead reports success: the writes will find out).
    int Reserve(int64_t size);
    int Truncate(int64_t size);
    int SetMode(unsigned mode);
    // Gives the file the owner and group; either may be left alone with -1.
    int SetOwner(long owner, long group);
    // Flushes the file's data and metadata to the device.
    int Sync();
    // Closes, reporting what the close reports (a deferred write error).
    int Close();

private:
    friend int CreateFileBeside(const std::string&, unsigned, TFileHandle&, std::string&);
    int fd_ = -1;
};

// The file a name stands for once symbolic links are followed: the name itself when it
// is not a link (also when nothing exists under it); the target of a dangling link. A
// relative link is resolved against the directory of the link. ELOOP after 40 links.
int ResolveLinks(const std::string& name, std::string& target);

// The directory part of a name ("." for a bare name, "/" for a name at the root).
std::string DirectoryOf(const std::string& name);

// Creates a new, uniquely named file in the directory of `beside` (never replacing
// anything), opened for writing with `mode` (umask applied). `created` receives its name.
int CreateFileBeside(const std::string& beside, unsigned mode, TFileHandle& file,
                     std::string& created);

// Renames `from` onto `to` in one step, replacing a file that `to` names.
int ReplaceFile(const std::string& from, const std::string& to);
// Gives the file `from` the further name `to`; EEXIST when `to` exists.
int LinkFile(const std::string& from, const std::string& to);
// Removes a name; returns the errno value (0 on success).
int RemoveFile(const std::string& name);
// Flushes a directory's entries (renames and new names in it) to the device.
int SyncDirectory(const std::string& directory);
