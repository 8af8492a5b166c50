#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
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
