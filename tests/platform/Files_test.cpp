#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Files.h"

namespace {
struct TTempDir {
    std::string Path;
    TTempDir() {
        char tmpl[] = "/tmp/marvolt-files-XXXXXX";
        Path = mkdtemp(tmpl);
    }
    ~TTempDir() { std::system(("rm -rf '" + Path + "'").c_str()); }
    std::string File(const std::string& name, const char* content = nullptr) const {
        std::string p = Path + "/" + name;
        if (content) std::ofstream(p) << content;
        return p;
    }
};

std::string Read(const std::string& p) {
    std::ifstream f(p);
    return std::string(std::istreambuf_iterator<char>(f), {});
}
} // namespace

TEST(Files, ExistenceDeletionAndRenameWithoutOverwriting) {
    TTempDir dir;
    const std::string a = dir.File("a.txt", "old"), b = dir.File("b.txt", "new");
    EXPECT_TRUE(FileExists(a));
    EXPECT_FALSE(FileExists(dir.Path)) << "a directory is not a file";
    EXPECT_FALSE(FileExists(dir.File("none")));
    EXPECT_FALSE(MoveFile(b, a)) << "the target exists";
    EXPECT_EQ(Read(a), "old");
    EXPECT_EQ(Read(b), "new");
    EXPECT_FALSE(LastFileError().empty());
    const std::string c = dir.File("c.bak");
    EXPECT_TRUE(RenameFile(a, c));
    EXPECT_FALSE(FileExists(a));
    EXPECT_EQ(Read(c), "old");
    EXPECT_TRUE(DeleteFile(c));
    EXPECT_FALSE(FileExists(c));
    EXPECT_FALSE(DeleteFile(c));
    EXPECT_FALSE(MoveFile(c, a)) << "nothing to move";
}

TEST(Files, LinksResolveToTheFileTheyNameAndLoopsAreRefused) {
    TTempDir dir;
    EXPECT_EQ(DirectoryOf("a"), ".");
    EXPECT_EQ(DirectoryOf("/a"), "/");
    EXPECT_EQ(DirectoryOf("x/y/a"), "x/y");
    ASSERT_EQ(mkdir(dir.File("d").c_str(), 0755), 0);
    ASSERT_EQ(symlink("d/b", dir.File("a").c_str()), 0);
    ASSERT_EQ(symlink("../c", dir.File("d/b").c_str()), 0);
    std::string target;
    EXPECT_EQ(ResolveLinks(dir.File("a"), target), 0);
    EXPECT_EQ(target, dir.Path + "/d/../c") << "a dangling link names the file to create";
    EXPECT_EQ(ResolveLinks(dir.File("plain"), target), 0);
    EXPECT_EQ(target, dir.File("plain"));
    ASSERT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
    EXPECT_EQ(ResolveLinks(dir.File("loop"), target), ELOOP);

    TFileHandle file;
    std::string created;
    EXPECT_EQ(CreateFileBeside(dir.File("c"), 0600, file, created), 0);
    EXPECT_EQ(DirectoryOf(created), dir.Path);
    EXPECT_NE(created, dir.File("c"));
    EXPECT_EQ(file.Write("xy", 2), 0);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(Read(created), "xy");
    EXPECT_EQ(ReplaceFile(created, dir.File("a")), 0) << "replaces the link itself";
    EXPECT_EQ(Read(dir.File("a")), "xy");
}
