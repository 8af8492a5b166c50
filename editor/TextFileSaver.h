#pragma once
// Saving a text to a file so that a failure never costs the file on disk.
#include <cstdint>
#include <string>

#include "editor/TextFileFormat.h"

class TZalParaList;

// Bytes gathered before each write.
constexpr size_t kSaveBlockSize = 1 << 20;

// How a document is written.
struct TSaveOptions {
    TLineEnd LineEnd = TLineEnd::Lf;               // the document's line-end style
    bool MakeBackup = false;                       // the old file becomes the backup
    std::string BackupExt = std::string(kDefaultBackupExt);
    // false skips the syncs to the device (measurements and scratch files only).
    bool Sync = true;
};

// The size of the file that saving `list` in `style` writes.
int64_t SavedSize(const TZalParaList& list, TLineEnd style);

// Writes the paragraphs of `list` to the file `fileName`: each ended in the style, the
// last one only when it is not empty, tabs kept, bytes 1 to 8 written as spaces.
//
// The text goes to a new file beside the target, which is synced and then renamed over
// the target, keeping its permission bits (and its owner where the system allows); the
// directory is synced after. A symbolic link is followed: its target is replaced and
// the link stays. With MakeBackup the old file takes the backup name (BackupFileName)
// once the new text is on disk; failing to make it does not stop the save.
//
// Every failure raises EInOutError naming the file and the system's reason and leaves
// the file on disk as it was (a backup may already have been made); the list is never
// changed. Clearing the document's modified flag is the caller's, on success.
void SaveTextFile(const TZalParaList& list, const std::string& fileName,
                  const TSaveOptions& options);
