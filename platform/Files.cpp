#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
thread_local int g_lastError = 0;

bool Fail() {
    g_lastError = errno;
    return false;
}
} // namespace

bool FileExists(const std::string& name) {
    struct stat st {};
    return !name.empty() && ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DeleteFile(const std::string& name) {
    if (name.empty()) {
        errno = ENOENT;
        return Fail();
    }
    return ::unlink(name.c_str()) == 0 || Fail();
}

bool MoveFile(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) {
        errno = ENOENT;
        return Fail();
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return Fail();
    // File systems without the no-replace flag: link + unlink never overwrites either.
    if (::link(from.c_str(), to.c_str()) != 0) return Fail();
    if (::unlink(from.c_str()) != 0) {
        const int e = errno;
        ::unlink(to.c_str());
        errno = e;
        return Fail();
    }
    return true;
}

bool RenameFile(const std::string& from, const std::string& to) { return MoveFile(from, to); }

std::string LastFileError() { return g_lastError ? std::strerror(g_lastError) : std::string(); }
