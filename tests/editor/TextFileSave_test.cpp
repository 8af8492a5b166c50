// Saving: atomic replacement, permissions, backups, links, and injected failures that
// must leave the file on disk and the text as they were.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <memory>

#include "TextFileTestUtil.h"
#include "components/ZalExcpt.h"
#include "editor/TextFileSaver.h"

namespace {

std::unique_ptr<TZalParaList> ListOf(const std::vector<std::string>& lines) {
    auto list = std::make_unique<TZalParaList>(nullptr, false);
    for (const std::string& l : lines) list->AddLoadedPara(l.data(), int(l.size()), false);
    return list;
}

TSaveOptions Options(bool backup = false) {
    TSaveOptions o;
    o.LineEnd = TLineEnd::CrLf;
    o.MakeBackup = backup;
    return o;
}

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Saving must fail with err, naming the file, and leave the list as it was.
void ExpectSaveFails(const TZalParaList& list, const std::string& path, const TSaveOptions& o, int err) {
    const std::vector<std::string> before = Paras(list);
    const bool modified = list.Modified();
    try {
        SaveTextFile(list, path, o);
        ADD_FAILURE() << "saving " << path << " did not fail";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, err) << e.Message();
        EXPECT_NE(e.Message().find("'" + path + "'"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find(std::strerror(err)), std::string::npos) << e.Message();
    }
    EXPECT_EQ(Paras(list), before);
    EXPECT_EQ(list.Modified(), modified);
}

} // namespace

TEST(TextFileSave, ReplacesTheFileKeepingItsPermissions) {
    TScratchDir dir;
    const auto list = ListOf({"new", "text"});
    WriteBytes(dir / "notes.txt", "old\r\n");
    chmod((dir / "notes.txt").c_str(), 0640);
    SaveTextFile(*list, dir / "notes.txt", Options());
    EXPECT_EQ(ReadBytes(dir / "notes.txt"), "new\r\ntext\r\n");
    EXPECT_EQ(ModeOf(dir / "notes.txt"), 0640u);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"notes.txt"}) << "no temporary file left";

    const mode_t mask = umask(022);
    umask(mask);
    SaveTextFile(*list, dir / "fresh.txt", Options()); // a new file, also one that vanished
    EXPECT_EQ(ReadBytes(dir / "fresh.txt"), "new\r\ntext\r\n");
    EXPECT_EQ(ModeOf(dir / "fresh.txt"), 0666u & ~mask);
}

TEST(TextFileSave, TheOldFileBecomesTheBackup) {
    TScratchDir dir;
    const auto list = ListOf({"new"});
    WriteBytes(dir / "notes.txt", "old");
    WriteBytes(dir / "notes.BAK", "older");
    SaveTextFile(*list, dir / "notes.txt", Options(true));
    EXPECT_EQ(ReadBytes(dir / "notes.txt"), "new\r\n");
    EXPECT_EQ(ReadBytes(dir / "notes.BAK"), "old");

    SaveTextFile(*list, dir / "notes.BAK", Options(true)); // onto itself: no backup
    EXPECT_EQ(ReadBytes(dir / "notes.BAK"), "new\r\n");
    WriteBytes(dir / "readme", "old readme");
    SaveTextFile(*list, dir / "readme", Options(true));
    EXPECT_EQ(ReadBytes(dir / "readme.BAK"), "old readme");
    SaveTextFile(*list, dir / "first.txt", Options(true)); // nothing to back up
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"first.txt", "notes.BAK", "notes.txt", "readme",
                                                     "readme.BAK"}));
}

TEST(TextFileSave, ThroughSymbolicLinks) {
    TScratchDir dir;
    mkdir((dir / "real").c_str(), 0755);
    mkdir((dir / "links").c_str(), 0755);
    WriteBytes(dir / "real/target.txt", "old");
    ASSERT_EQ(symlink("../real/target.txt", (dir / "links/notes.txt").c_str()), 0);
    ASSERT_EQ(symlink("notes.txt", (dir / "links/again").c_str()), 0);
    const auto list = ListOf({"new"});
    SaveTextFile(*list, dir / "links/again", Options(true));
    EXPECT_EQ(ReadBytes(dir / "real/target.txt"), "new\r\n");
    EXPECT_EQ(ReadBytes(dir / "real/target.BAK"), "old") << "the backup stands beside the file";
    char link[64] = {};
    EXPECT_GT(readlink((dir / "links/notes.txt").c_str(), link, sizeof link - 1), 0);
    EXPECT_STREQ(link, "../real/target.txt");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"links", "real"}));

    ASSERT_EQ(symlink("real/made.txt", (dir / "dangling").c_str()), 0);
    SaveTextFile(*list, dir / "dangling", Options());
    EXPECT_EQ(ReadBytes(dir / "real/made.txt"), "new\r\n");
    char again[64] = {};
    EXPECT_GT(readlink((dir / "dangling").c_str(), again, sizeof again - 1), 0) << "still a link";
}

TEST(TextFileSave, AFailedSaveLeavesTheFileAsItWas) {
    TScratchDir dir;
    const auto list = ListOf({"new"});
    mkdir((dir / "sub").c_str(), 0755);
    ExpectSaveFails(*list, dir / "sub", Options(), EISDIR); // a directory given as the file
    ExpectSaveFails(*list, dir / "gone/notes.txt", Options(), ENOENT);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"sub"});
}

// The write fails midway on a file-size limit; then the directory and the file refuse.
TEST(TextFileSave, InjectedFailures) {
    const std::string old = "old text\r\n";
    std::vector<std::string> lines(20'000, std::string(50, 'n')); // 1 MB
    const auto big = ListOf(lines);
    const auto small = ListOf({"new"});
    RunInChild(
        [&] {
            TScratchDir dir;
            WriteBytes(dir / "notes.txt", old);
            ExpectSaveFails(*big, dir / "notes.txt", Options(true), EFBIG);
            EXPECT_EQ(ReadBytes(dir / "notes.txt"), old);
            EXPECT_EQ(dir.Names(), std::vector<std::string>{"notes.txt"});
        },
        64 << 10);
    RunInChild([&] {
        TScratchDir dir;
        WriteBytes(dir / "notes.txt", old);
        chmod((dir / "notes.txt").c_str(), 0444);
        chmod(dir.Path.c_str(), 0555);
        ExpectSaveFails(*small, dir / "notes.txt", Options(), EACCES);
        EXPECT_EQ(ReadBytes(dir / "notes.txt"), old);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"notes.txt"});
    });
}

// A directory that takes no new file, with a writable file: written in place, after the
// backup copy is made; a backup that cannot be made, or a write that fails midway, stops
// the save with the file as it was.
TEST(TextFileSave, InPlaceWhenTheDirectoryIsReadOnly) {
    const std::string old = "old text\r\n";
    const auto small = ListOf({"new"});
    const auto big = ListOf(std::vector<std::string>(20'000, std::string(50, 'n')));
    auto scenario = [&](const TZalParaList& list, bool backupExists, int err) {
        TScratchDir dir;
        WriteBytes(dir / "notes.txt", old);
        chmod((dir / "notes.txt").c_str(), 0620);
        if (backupExists) WriteBytes(dir / "notes.BAK", "older");
        chmod(dir.Path.c_str(), 0555);
        const std::vector<std::string> names = dir.Names();
        if (err) {
            ExpectSaveFails(list, dir / "notes.txt", Options(true), err);
            EXPECT_EQ(ReadBytes(dir / "notes.txt"), old);
        } else {
            SaveTextFile(list, dir / "notes.txt", Options(true));
            EXPECT_EQ(ReadBytes(dir / "notes.txt"), "new\r\n");
            EXPECT_EQ(ReadBytes(dir / "notes.BAK"), old);
        }
        EXPECT_EQ(ModeOf(dir / "notes.txt"), 0620u);
        EXPECT_EQ(dir.Names(), names);
    };
    RunInChild([&] { scenario(*small, true, 0); });
    RunInChild([&] { scenario(*small, false, EACCES); });
    RunInChild([&] { scenario(*big, true, EFBIG); }, 64 << 10);
    RunInChild([&] {
        TScratchDir dir;
        WriteBytes(dir / "notes.txt", old);
        chmod(dir.Path.c_str(), 0555);
        SaveTextFile(*big, dir / "notes.txt", Options());
        EXPECT_EQ(ReadBytes(dir / "notes.txt").size(), 20'000u * 52);
        SaveTextFile(*small, dir / "notes.txt", Options()); // shorter: the rest is cut
        EXPECT_EQ(ReadBytes(dir / "notes.txt"), "new\r\n");
    });
}
