// Shared helpers of the text file tests.
#include "TextFileTestUtil.h"

#include <dirent.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

TScratchDir::TScratchDir() {
    char pattern[] = "/tmp/marvolt-textfile-XXXXXX";
    Path = mkdtemp(pattern);
}

TScratchDir::~TScratchDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(Path, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(Path, ec); !ec && it != fs::end(it); it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(Path, ec);
}

std::vector<std::string> TScratchDir::Names() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(Path.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {
std::string Excerpt(const std::string& s, size_t at) {
    std::string e = s.substr(at, 40);
    for (char& c : e)
        if (static_cast<unsigned char>(c) < 32) c = '.';
    return "\"" + e + "\"";
}
} // namespace

::testing::AssertionResult Same(const std::string& actual, const std::string& expected) {
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (a == actual.end() && e == expected.end()) return ::testing::AssertionSuccess();
    const size_t at = size_t(a - actual.begin());
    return ::testing::AssertionFailure() << "sizes " << actual.size() << " and " << expected.size()
                                         << ", first difference at byte " << at << ": "
                                         << Excerpt(actual, at) << " instead of " << Excerpt(expected, at);
}

::testing::AssertionResult Same(const std::vector<std::string>& actual,
                                const std::vector<std::string>& expected) {
    for (size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        if (i < actual.size() && i < expected.size() && actual[i] == expected[i]) continue;
        return ::testing::AssertionFailure()
               << actual.size() << " and " << expected.size() << " paragraphs, first difference at "
               << i << ": " << (i < actual.size() ? Excerpt(actual[i], 0) : "none") << " instead of "
               << (i < expected.size() ? Excerpt(expected[i], 0) : "none");
    }
    return ::testing::AssertionSuccess();
}

void RunInChild(const std::function<void()>& body, long fileSizeLimit) {
    const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
    const int partsBefore = result.total_part_count();
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        if (fileSizeLimit >= 0) {
            std::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG instead
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(4);
        }
        body();
        std::fflush(stdout);
        for (int i = partsBefore; i < result.total_part_count(); ++i)
            if (result.GetTestPartResult(i).failed()) _exit(1);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "expectations failed in the child (see above)";
}
