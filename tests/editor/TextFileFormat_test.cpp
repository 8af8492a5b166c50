// File names: normalisation, backup extensions and backup names.
#include <gtest/gtest.h>

#include "editor/TextFileFormat.h"

TEST(TextFileFormat, BackupNames) {
    const char* cases[][3] = {
        {"notes.txt", "BAK", "notes.BAK"},
        {"notes.BAK", "BAK", "notes.BAK"}, // saved onto itself: no backup
        {"notes.bak", "BAK", "notes.BAK"}, // names compare exactly: a backup is made
        {"readme", "BAK", "readme.BAK"},
        {"dir.x/readme", "BAK", "dir.x/readme.BAK"},
        {"c:\\dir.x\\readme", "BAK", "c:\\dir.x\\readme.BAK"},
        {"a:b.c", "BAK", "a:b.BAK"},
        {"/home/u/.profile", "BAK", "/home/u/.profile.BAK"},
        {"/home/u/.vim.rc", "BAK", "/home/u/.vim.BAK"},
        {"archive.tar.gz", "OLDER", "archive.tar.OLD"},
        {"notes.", "BAK", "notes.BAK"},
        {"notes.txt", "", "notes."},
    };
    for (const auto& c : cases) EXPECT_EQ(BackupFileName(c[0], c[1]), c[2]) << c[0];
}

TEST(TextFileFormat, NamesAndExtensionsAsKept) {
    EXPECT_EQ(NormalizeFileName("notes."), "notes");
    EXPECT_EQ(NormalizeFileName("."), ".");
    EXPECT_EQ(NormalizeFileName("a.."), "a.");
    EXPECT_EQ(NormalizeFileName("a.txt"), "a.txt");
    EXPECT_EQ(CutBackupExt("BACKUP"), "BAC");
    EXPECT_EQ(CutBackupExt("B"), "B");
}
