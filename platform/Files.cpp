#include "platform/Files.h"

#include <atomic>
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

std::string FileErrorText(int err) { return std::strerror(err); }

namespace {
int Errno() { return errno ? errno : EIO; }

void FillStatus(const struct stat& st, TFileStatus& status) {
    status.Exists = true;
    status.IsRegular = S_ISREG(st.st_mode);
    status.IsDirectory = S_ISDIR(st.st_mode);
    status.Size = int64_t(st.st_size);
    status.Mode = unsigned(st.st_mode & 07777);
    status.Owner = unsigned(st.st_uid);
    status.Group = unsigned(st.st_gid);
}

int OpenFd(const std::string& name, int flags, unsigned mode, int& fd) {
    if (name.empty()) return ENOENT;
    do fd = ::open(name.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode_t(mode));
    while (fd < 0 && errno == EINTR);
    return fd < 0 ? Errno() : 0;
}
} // namespace

int StatFile(const std::string& name, TFileStatus& status) {
    status = TFileStatus{};
    struct stat st {};
    if (name.empty()) return 0;
    if (::stat(name.c_str(), &st) != 0) return errno == ENOENT ? 0 : Errno();
    FillStatus(st, status);
    return 0;
}

// --- file handles --------------------------------------------------------------------

TFileHandle::~TFileHandle() {
    if (fd_ >= 0) ::close(fd_);
}

TFileHandle::TFileHandle(TFileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

int TFileHandle::OpenForReading(const std::string& name) {
    *this = TFileHandle();
    if (int err = OpenFd(name, O_RDONLY, 0, fd_)) return err;
    // A directory opens for reading; it is still not a file.
    TFileStatus st;
    if (int err = Status(st)) return err;
    if (st.IsDirectory) {
        *this = TFileHandle();
        return EISDIR;
    }
    return 0;
}

int TFileHandle::OpenForUpdate(const std::string& name) {
    *this = TFileHandle();
    return OpenFd(name, O_RDWR, 0, fd_);
}

int TFileHandle::OpenForOverwrite(const std::string& name, unsigned mode) {
    *this = TFileHandle();
    return OpenFd(name, O_WRONLY | O_CREAT | O_TRUNC, mode, fd_);
}

int TFileHandle::Status(TFileStatus& status) const {
    status = TFileStatus{};
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return Errno();
    FillStatus(st, status);
    return 0;
}

int TFileHandle::Read(void* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    ssize_t n;
    do n = ::read(fd_, buffer, size);
    while (n < 0 && errno == EINTR);
    if (n < 0) return Errno();
    got = std::size_t(n);
    return 0;
}

int TFileHandle::Write(const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Errno();
        if (n == 0) return ENOSPC;
        p += n;
        size -= std::size_t(n);
    }
    return 0;
}

int TFileHandle::WriteAt(const void* data, std::size_t size, int64_t offset) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Errno();
        if (n == 0) return ENOSPC;
        p += n;
        offset += n;
        size -= std::size_t(n);
    }
    return 0;
}

int TFileHandle::Reserve(int64_t size) {
    if (size <= 0) return 0;
    int r;
    do r = ::fallocate(fd_, 0, 0, off_t(size));
    while (r != 0 && errno == EINTR);
    if (r == 0 || errno == EOPNOTSUPP || errno == ENOSYS) return 0;
    return Errno();
}

int TFileHandle::Truncate(int64_t size) {
    int r;
    do r = ::ftruncate(fd_, off_t(size));
    while (r != 0 && errno == EINTR);
    return r == 0 ? 0 : Errno();
}

int TFileHandle::SetMode(unsigned mode) { return ::fchmod(fd_, mode_t(mode)) == 0 ? 0 : Errno(); }

int TFileHandle::SetOwner(long owner, long group) {
    return ::fchown(fd_, uid_t(owner), gid_t(group)) == 0 ? 0 : Errno();
}

int TFileHandle::Sync() {
    if (::fsync(fd_) == 0) return 0;
    // Pipes and terminals cannot be synced and have nothing to lose by it.
    return errno == EINVAL || errno == EROFS ? 0 : Errno();
}

int TFileHandle::Close() {
    if (fd_ < 0) return 0;
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close reports EINTR: never retry.
    if (::close(fd) == 0 || errno == EINTR) return 0;
    return Errno();
}

// --- names -----------------------------------------------------------------------------

std::string DirectoryOf(const std::string& name) {
    const size_t slash = name.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return name.substr(0, slash);
}

int ResolveLinks(const std::string& name, std::string& target) {
    target = name;
    if (name.empty()) return ENOENT;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : Errno();
        if (!S_ISLNK(st.st_mode)) return 0;
        std::string link(size_t(st.st_size > 0 ? st.st_size : 256), '\0');
        ssize_t n;
        while ((n = ::readlink(target.c_str(), link.data(), link.size())) >= ssize_t(link.size()))
            link.resize(link.size() * 2);
        if (n < 0) return Errno();
        link.resize(size_t(n));
        if (link.empty()) return ENOENT;
        if (link[0] != '/') {
            const std::string dir = DirectoryOf(target);
            if (target.find('/') != std::string::npos)
                link = (dir == "/" ? dir : dir + "/") + link;
        }
        target = link;
    }
    return ELOOP;
}

int CreateFileBeside(const std::string& beside, unsigned mode, TFileHandle& file,
                     std::string& created) {
    file = TFileHandle();
    const std::string dir = DirectoryOf(beside);
    const size_t slash = beside.rfind('/');
    std::string base = slash == std::string::npos ? beside : beside.substr(slash + 1);
    if (base.size() > 200) base.resize(200); // room for the suffix within a name's 255 bytes
    const std::string prefix = (beside.find('/') == std::string::npos ? std::string()
                                : dir == "/"                           ? dir
                                                                       : dir + "/") +
                               "." + base + ".";
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%lx%x.tmp", long(::getpid()), ++counter);
        created = prefix + suffix;
        int err = OpenFd(created, O_WRONLY | O_CREAT | O_EXCL, mode, file.fd_);
        if (err != EEXIST) {
            if (err) created.clear();
            return err;
        }
    }
    created.clear();
    return EEXIST;
}

int ReplaceFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : Errno();
}

int LinkFile(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0 ? 0 : Errno();
}

int RemoveFile(const std::string& name) { return ::unlink(name.c_str()) == 0 ? 0 : Errno(); }

int SyncDirectory(const std::string& directory) {
    int fd;
    if (int err = OpenFd(directory, O_RDONLY | O_DIRECTORY, 0, fd)) return err;
    int err = 0;
    // Some file systems cannot sync a directory; their renames are as durable as they get.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) err = Errno();
    ::close(fd);
    return err;
}
