// The text-file form of one command table.
#include "CmdTestUtil.h"
#include "components/ZalCmd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ZalCmdFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zalcmd_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path dir_;
};


TEST_F(ZalCmdFile, SaveWritesFixedColumnsWithCrLf) {
    TZalCommandTable t;
    t.TableName = "My keys";
    t.AppendBinding(B(0x25, 0, 46));
    t.AppendBinding(B(0x51, 4, 42, 0x53, 128));
    t.AppendBinding(B(255, 255, 65535, 255, 255));
    t.SaveToTextFile(Path("t.txt"));
    EXPECT_EQ(Slurp(Path("t.txt")),
              "My keys\r\n"
              "  37   0   0   0    46\r\n"
              "  81   4  83 128    42\r\n"
              " 255 255 255 255 65535\r\n");
}

TEST_F(ZalCmdFile, SaveAndLoadRoundTripEveryBuiltInTable) {
    TZalCommandProcessor p;
    for (int i = 0; i < 3; ++i) {
        const std::string name = p.Tables(i).TableName;
        const std::string file = Path(name + ".tbl");
        p.SaveTableToFile(name, file);
        const std::string text = Slurp(file);
        // One name line and 22 characters plus CR LF per binding.
        EXPECT_EQ(text.size(), name.size() + 2 + 24u * size_t(p.Tables(i).BindingCount()));

        const int j = p.LoadTableFromFile(file);
        EXPECT_EQ(j, p.TableCount() - 1);
        EXPECT_EQ(p.Tables(j).TableName, name + "1"); // the name is made unique
        EXPECT_TRUE(p.Tables(j).IsActive);              // the active flag is not stored
        EXPECT_EQ(BindingsOf(p.Tables(j)), BindingsOf(p.Tables(i)));
    }
    EXPECT_EQ(p.TableCount(), 6);
}

TEST_F(ZalCmdFile, SaveOverwritesAndSkipsUnknownTables) {
    TZalCommandProcessor p;
    Write(Path("old.tbl"), "something much longer than the new contents\r\n1 2 3 4 5\r\n");
    ::chmod(Path("old.tbl").c_str(), 0640);
    p.Tables(0).ClearBindings();
    p.SaveTableToFile("DEFAULT", Path("old.tbl"));
    EXPECT_EQ(Slurp(Path("old.tbl")), "Default\r\n");
    struct stat st{};
    ASSERT_EQ(::stat(Path("old.tbl").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // the file keeps its permissions

    p.SaveTableToFile("Nothing", Path("none.tbl"));
    EXPECT_FALSE(fs::exists(Path("none.tbl")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ZalCmdFile, LoadReadsLeniently) {
    // LF-only or CR line ends, extra text after the fifth number, blank lines, values
    // reduced to 8 and 16 bits, signs.
    Write(Path("t.txt"), "Name with  spaces \n 1 2 3 4 5 trailing words\r\r\n\t300 -1 0 0 65537\n"
                         "+7 0 0 0 0");
    TZalCommandTable t;
    t.AppendBinding(B(9, 9, 9));
    t.IsActive = false;
    t.LoadFromTextFile(Path("t.txt"));
    EXPECT_EQ(t.TableName, "Name with  spaces ");
    EXPECT_FALSE(t.IsActive);
    EXPECT_EQ(BindingsOf(t), (std::vector<TZalKeyBinding>{B(1, 2, 5, 3, 4), B(44, 255, 1),
                                                           B(7, 0, 0)}));

    // A name line alone, or an empty file, gives an empty table.
    Write(Path("n.txt"), "Only\r\n");
    t.LoadFromTextFile(Path("n.txt"));
    EXPECT_EQ(t.TableName, "Only");
    EXPECT_EQ(t.BindingCount(), 0);
    Write(Path("e.txt"), "");
    t.LoadFromTextFile(Path("e.txt"));
    EXPECT_EQ(t.TableName, "");

    // No duplicate test on loading.
    Write(Path("d.txt"), "D\r\n 1 0 0 0 5\r\n 1 0 0 0 6\r\n");
    t.LoadFromTextFile(Path("d.txt"));
    EXPECT_EQ(t.BindingCount(), 2);
}

// Loading `text` must fail with an EInOutError naming `expected`; the processor and an
// existing table must stay as they were.
void ExpectLoadFails(const std::string& path, const std::string& expected) {
    TZalCommandProcessor p;
    try {
        p.LoadTableFromFile(path);
        ADD_FAILURE() << "loaded " << path;
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        EXPECT_NE(e.ErrorCode, 0);
    }
    EXPECT_EQ(p.TableCount(), 3);

    TZalCommandTable t;
    t.TableName = "Keep";
    t.AppendBinding(B(1, 2, 3));
    EXPECT_THROW(t.LoadFromTextFile(path), EInOutError);
    EXPECT_EQ(t.TableName, "Keep");
    EXPECT_EQ(BindingsOf(t), (std::vector<TZalKeyBinding>{B(1, 2, 3)}));
}

TEST_F(ZalCmdFile, BadFilesGiveClearErrorsAndChangeNothing) {
    ExpectLoadFails(Path("missing.tbl"), "Cannot open command table file '" + Path("missing.tbl") +
                                             "': No such file or directory");
    ExpectLoadFails(dir_.string(), "command table file"); // a directory cannot be read

    Write(Path("short.tbl"), "T\r\n 1 2 3 4 5\r\n 1 2 3 4\r\n 6 7 8 9 10\r\n");
    ExpectLoadFails(Path("short.tbl"), "line 3: five numbers expected, found 4");
    Write(Path("word.tbl"), "T\r\n 1 2 x 4 5\r\n");
    ExpectLoadFails(Path("word.tbl"), "line 2: not a number: x");
    Write(Path("glued.tbl"), "T\r\n 1 2 3 4 5x\r\n");
    ExpectLoadFails(Path("glued.tbl"), "line 2: not a number: 5x");
    Write(Path("signs.tbl"), "T\r\n 1 2 3 4 5\r\n 1 2 3 4 +-5\r\n");
    ExpectLoadFails(Path("signs.tbl"), "line 3: not a number: +-5");
    Write(Path("huge.tbl"), "T\r\n 1 2 3 4 99999999999999999999\r\n");
    ExpectLoadFails(Path("huge.tbl"), "line 2: number out of range");
}

TEST_F(ZalCmdFile, SaveFailureIsReportedAndLeavesNoFile) {
    TZalCommandProcessor p;
    const std::string target = Path("no/such/dir/t.tbl");
    try {
        p.SaveTableToFile("Grid", target);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot create command table file"), std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(fs::exists(target));

    p.Tables(0).TableName = "Two\nlines";
    EXPECT_THROW(p.SaveTableToFile("Two\nlines", Path("t.tbl")), EInOutError);
    EXPECT_FALSE(fs::exists(Path("t.tbl")));
}

} // namespace
