// Saving a text to a file: gathered writes, atomic replacement, backups.
#include "editor/TextFileSaver.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "components/ZalExcpt.h"
#include "editor/TextFileError.h"
#include "platform/Files.h"
#include "text/ParaList.h"

namespace {

// Bytes below the tab are saved as spaces. Line ends are above it, so a whole gathered
// block is converted in one pass, which runs far faster than one pass per paragraph.
void ConvertForSaving(char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        bytes[i] = c < '\t' ? ' ' : char(c);
    }
}

// Walks the paragraphs in order and hands the saved bytes to emit(data, size) in
// blocks of up to kSaveBlockSize; returns the first non-zero errno emit returns.
template <class Emit> int WriteParagraphs(const TZalParaList& list, TLineEnd style, Emit&& emit) {
    const std::string_view eol = LineEndText(style);
    // Both bytes are always stored (a fixed-size copy costs no call); only eol.size() count.
    const char eolBytes[2] = {eol[0], eol.size() > 1 ? eol[1] : '\0'};
    const auto block = std::make_unique_for_overwrite<char[]>(kSaveBlockSize);
    auto flush = [&](size_t n) {
        ConvertForSaving(block.get(), n);
        return emit(block.get(), n);
    };
    size_t used = 0;
    for (const TParaNode* node = list.First(); node; node = node->Next) {
        const size_t length = node->Length();
        if (!node->Next && length == 0) break;
        if (used + length + sizeof eolBytes > kSaveBlockSize) {
            if (int err = flush(used)) return err;
            used = 0;
        }
        std::memcpy(block.get() + used, node->GetText(), length);
        std::memcpy(block.get() + used + length, eolBytes, sizeof eolBytes);
        used += length + eol.size();
    }
    return used ? flush(used) : 0;
}

// Removes a file this save created, unless the save got to keep it.
class TCreatedFile {
public:
    explicit TCreatedFile(std::string name) : name_(std::move(name)) {}
    ~TCreatedFile() {
        if (!name_.empty()) RemoveFile(name_);
    }
    TCreatedFile(const TCreatedFile&) = delete;
    TCreatedFile& operator=(const TCreatedFile&) = delete;
    void Keep() { name_.clear(); }

private:
    std::string name_;
};

// Makes `backup` a name of the old file while the old file keeps its own, so that the
// target never goes missing. Where the file system has no hard links the old file is
// moved instead; `moved` then tells the caller to move it back should the save fail.
void KeepBackup(const std::string& target, const std::string& backup, bool& moved) {
    moved = false;
    RemoveFile(backup);
    if (LinkFile(target, backup) == 0) return;
    moved = ReplaceFile(target, backup) == 0;
}

int ReadWhole(TFileHandle& file, std::string& bytes) {
    TFileStatus status;
    if (int err = file.Status(status)) return err;
    bytes.resize(size_t(status.Size));
    size_t have = 0;
    for (;;) {
        if (have == bytes.size()) bytes.resize(bytes.size() + 65536);
        size_t got = 0;
        if (int err = file.Read(bytes.data() + have, bytes.size() - have, got)) return err;
        if (got == 0) break;
        have += got;
    }
    bytes.resize(have);
    return 0;
}

int WriteBackupCopy(const std::string& backup, const std::string& bytes, unsigned mode, bool sync) {
    TFileHandle file;
    int err = file.OpenForOverwrite(backup, mode);
    if (!err) err = file.Write(bytes.data(), bytes.size());
    if (!err && sync) err = file.Sync();
    if (!err) err = file.Close();
    return err;
}

// The directory cannot take a new file, but the file itself may be writable: it is then
// overwritten in place. This cannot be atomic, so the old bytes are held in memory (and
// first copied to the backup, when one is asked for), the space for the new text is
// reserved before anything is written, and a failed write puts the old bytes back.
void SaveInPlace(const TZalParaList& list, const std::string& fileName, const std::string& target,
                 unsigned mode, const TSaveOptions& options) {
    TFileHandle file;
    if (int err = file.OpenForUpdate(target)) RaiseFileError("Cannot write", fileName, err);
    std::string old;
    if (int err = ReadWhole(file, old)) RaiseFileError("Cannot read", fileName, err);
    if (options.MakeBackup) {
        const std::string backup = BackupFileName(target, options.BackupExt);
        if (backup != target)
            if (int err = WriteBackupCopy(backup, old, mode, options.Sync))
                RaiseFileError("Cannot save '" + fileName + "' without its backup", backup, err);
    }
    const int64_t size = SavedSize(list, options.LineEnd);
    if (int err = file.Reserve(size)) {
        file.Truncate(int64_t(old.size())); // a partial reservation may have grown the file
        RaiseFileError("Cannot write", fileName, err);
    }
    int64_t offset = 0;
    int err = WriteParagraphs(list, options.LineEnd, [&](const char* data, size_t n) {
        const int e = file.WriteAt(data, n, offset);
        offset += int64_t(n);
        return e;
    });
    if (!err) err = file.Truncate(size);
    if (!err && options.Sync) err = file.Sync();
    if (err) {
        file.WriteAt(old.data(), old.size(), 0);
        file.Truncate(int64_t(old.size()));
        file.Sync();
        RaiseFileError("Cannot write", fileName, err);
    }
    if ((err = file.Close())) RaiseFileError("Cannot write", fileName, err);
}

} // namespace

int64_t SavedSize(const TZalParaList& list, TLineEnd style) {
    const int64_t eol = int64_t(LineEndText(style).size());
    int64_t size = 0;
    for (const TParaNode* node = list.First(); node; node = node->Next)
        if (node->Next || node->Length() > 0) size += node->Length() + eol;
    return size;
}

void SaveTextFile(const TZalParaList& list, const std::string& fileName,
                  const TSaveOptions& options) {
    std::string target;
    if (int err = ResolveLinks(fileName, target)) RaiseFileError("Cannot save", fileName, err);
    TFileStatus old;
    if (int err = StatFile(target, old)) RaiseFileError("Cannot save", fileName, err);
    if (old.IsDirectory) RaiseFileError("Cannot save", fileName, EISDIR);
    if (old.Exists && !old.IsRegular)
        throw EInOutError("Cannot save '" + fileName + "': it is not a regular file", EINVAL);

    // Private until it holds the text and the old file's permissions.
    TFileHandle file;
    std::string tempName;
    int err = CreateFileBeside(target, old.Exists ? 0600 : 0666, file, tempName);
    if (old.Exists && (err == EACCES || err == EPERM || err == EROFS))
        return SaveInPlace(list, fileName, target, old.Mode, options);
    if (err) RaiseFileError("Cannot create a new file beside", fileName, err);
    TCreatedFile temp(tempName);
    if (old.Exists) {
        // Changing the owner clears the set-id bits, so it goes first. Only the owner's
        // group may be ours to give; a file of another owner becomes ours.
        if (file.SetOwner(old.Owner, old.Group) != 0) file.SetOwner(-1, old.Group);
        if ((err = file.SetMode(old.Mode))) RaiseFileError("Cannot save", fileName, err);
    }
    err = WriteParagraphs(list, options.LineEnd,
                          [&file](const char* data, size_t n) { return file.Write(data, n); });
    if (!err && options.Sync) err = file.Sync();
    if (!err) err = file.Close();
    if (err) RaiseFileError("Cannot write", fileName, err);

    bool backupMoved = false;
    const std::string backup = BackupFileName(target, options.BackupExt);
    if (options.MakeBackup && old.Exists && backup != target)
        KeepBackup(target, backup, backupMoved);
    if ((err = ReplaceFile(tempName, target))) {
        if (backupMoved) ReplaceFile(backup, target);
        RaiseFileError("Cannot replace", fileName, err);
    }
    temp.Keep();
    if (options.Sync && (err = SyncDirectory(DirectoryOf(target))))
        RaiseFileError("Cannot sync the directory of", fileName, err);
}
