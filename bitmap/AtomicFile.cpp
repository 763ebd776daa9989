#include "bitmap/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

namespace tintwell {
namespace fs = std::filesystem;

namespace {

// A symbolic link is followed to the file it names, so the link itself survives.
fs::path ResolveTarget(const fs::path& target) {
    std::error_code ec;
    fs::path p = target;
    for (int hops = 0; hops < 40 && fs::is_symlink(p, ec); ++hops) {
        fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 rng{std::random_device{}()};
    return std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(rng() % 1000000);
}

// Creates `path` exclusively and takes an exclusive lock on it, which the
// system drops when the writer exits, however it exits. -1 with errno set.
int CreateLocked(const fs::path& path) {
    // 0666 lets the umask decide the bits of a new file, as for any other program.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = err;
        return -1;
    }
    return fd;
}

// Removes `path` when it is a temporary file whose writer is gone: nobody holds
// its lock any more. True when it was removed.
bool RemoveIfAbandoned(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool abandoned =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = abandoned && ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

}  // namespace

void AtomicFile::SyncFolder(const fs::path& folder) {
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

AtomicFile::AtomicFile(fs::path target, bool followLinks)
    : target_(followLinks ? ResolveTarget(target) : std::move(target)) {}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Fail(const std::string& what, int err) {
    error_ = what + " \"" + target_.string() + "\": " + std::strerror(err);
    Discard();
    return false;
}

void AtomicFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool AtomicFile::Open() {
    Discard();
    const fs::path folder = target_.parent_path();
    // A read-only file is left alone, as a program writing it in place would
    // have to; renaming over it would silently replace it.
    struct stat existing {};
    if (::lstat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        return Fail("Could not write", errno);
    // Hidden, beside the target; a long name is shortened to keep within NAME_MAX.
    // The usual name is fixed per target, so the temporary of a writer that was
    // killed is found and removed by the next save of the same file without
    // reading the folder. A live writer of the same file keeps its lock, and we
    // take a name of our own instead.
    const std::string base = "." + target_.filename().string().substr(0, 200) + ".tmp-";
    const fs::path usual = folder / (base + "tintwell");
    for (int attempt = 0; attempt < 102; ++attempt) {
        const fs::path candidate = attempt < 2 ? usual : folder / (base + UniqueSuffix());
        const int fd = CreateLocked(candidate);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = candidate;
            position_ = 0;
            return true;
        }
        if (errno != EEXIST) return Fail("Could not create a temporary file for", errno);
        if (attempt == 0 && !RemoveIfAbandoned(usual)) attempt = 1;
    }
    return Fail("Could not create a temporary file for", EEXIST);
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (fd_ < 0) return Fail("File is not open for writing:", EBADF);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail("Could not write", errno);
        }
        p += n;
        size -= static_cast<std::size_t>(n);
        position_ += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool AtomicFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (fd_ < 0) return Fail("File is not open for writing:", EBADF);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail("Could not write", errno);
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFile::Restart() {
    if (fd_ < 0) return Fail("File is not open for writing:", EBADF);
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0)
        return Fail("Could not write", errno);
    position_ = 0;
    return true;
}

// Leaves a hole of `size` bytes: the next byte goes that much further on.
bool AtomicFile::Skip(std::uint64_t size) {
    position_ += size;
    if (::lseek(fd_, static_cast<off_t>(position_), SEEK_SET) < 0)
        return Fail("Could not write", errno);
    return true;
}

bool AtomicFile::CopyRange(int sourceFd, std::uint64_t offset, std::uint64_t size) {
    if (fd_ < 0) return Fail("File is not open for writing:", EBADF);
    struct stat st {};
    if (::fstat(sourceFd, &st) != 0) return Fail("Could not copy into", errno);
    const std::uint64_t end = offset + size;
    if (end > static_cast<std::uint64_t>(st.st_size))
        return Fail("Source became shorter while copying into", EIO);
    // Data and holes in turn; a file system that cannot tell them apart has
    // only data.
    for (std::uint64_t at = offset; at < end;) {
        const off_t data = ::lseek(sourceFd, static_cast<off_t>(at), SEEK_DATA);
        std::uint64_t dataStart = at;
        if (data >= 0) dataStart = std::min<std::uint64_t>(static_cast<std::uint64_t>(data), end);
        if (data < 0 && errno == ENXIO) dataStart = end;  // a hole up to the end of the file
        if (dataStart > at) {
            if (!Skip(dataStart - at)) return false;
            at = dataStart;
            continue;
        }
        const off_t hole = ::lseek(sourceFd, static_cast<off_t>(at), SEEK_HOLE);
        std::uint64_t dataEnd = end;
        if (hole > static_cast<off_t>(at))
            dataEnd = std::min<std::uint64_t>(static_cast<std::uint64_t>(hole), end);
        if (!CopyData(sourceFd, at, dataEnd - at)) return false;
        at = dataEnd;
    }
    return true;
}

bool AtomicFile::CopyData(int sourceFd, std::uint64_t from, std::uint64_t size) {
    off_t offset = static_cast<off_t>(from);
    const off_t end = static_cast<off_t>(from + size);
    bool kernelCopy = true;
    while (offset < end) {
        const std::size_t chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(end - offset, 1u << 30));
        ssize_t n = -1;
        if (kernelCopy) {
            n = ::copy_file_range(sourceFd, &offset, fd_, nullptr, chunk, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                          errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy = false;  // not supported between these files: copy by hand
                continue;
            }
            if (n > 0) position_ += static_cast<std::uint64_t>(n);
        } else {
            char buffer[1 << 16];
            n = ::pread(sourceFd, buffer, std::min(chunk, sizeof buffer), offset);
            if (n > 0 && !Write(buffer, static_cast<std::size_t>(n))) return false;
            if (n > 0) offset += n;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail("Could not copy into", errno);
        if (n == 0) return Fail("Source became shorter while copying into", EIO);
    }
    return true;
}

bool AtomicFile::Commit() {
    if (fd_ < 0) return Fail("File is not open for writing:", EBADF);
    struct stat original {};
    if (::stat(target_.c_str(), &original) == 0) {
        // Owner and group are kept where the system allows it (an administrator
        // rewriting someone's file); the permission bits always.
        if (original.st_uid != ::geteuid() || original.st_gid != ::getegid()) [[maybe_unused]]
            int ignored = ::fchown(fd_, original.st_uid, original.st_gid);
        if (::fchmod(fd_, original.st_mode & 07777) != 0)
            return Fail("Could not copy the permissions of", errno);
    }
    // A copy that ended in a hole has not reached its full length yet.
    struct stat written {};
    if (::fstat(fd_, &written) != 0) return Fail("Could not flush", errno);
    if (static_cast<std::uint64_t>(written.st_size) < position_ &&
        ::ftruncate(fd_, static_cast<off_t>(position_)) != 0)
        return Fail("Could not write", errno);
    if (::fsync(fd_) != 0) return Fail("Could not flush", errno);
    // Renamed while still open, so its lock keeps other writers from taking the
    // temporary for an abandoned one. The folder is not fsynced: until it
    // reaches the disk a crash can only bring back the old, whole file. Callers
    // that need the new name durable (a backup) sync the folder themselves.
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return Fail("Could not replace", errno);
    temp_.clear();
    ::close(fd_);  // the data is on disk already: a late close error changes nothing
    fd_ = -1;
    return true;
}

bool AtomicFile::WriteWhole(const fs::path& target, const void* data, std::size_t size,
                            std::string& error) {
    AtomicFile file(target);
    bool ok = file.Open() && file.Write(data, size) && file.Commit();
    if (!ok) error = file.Error();
    return ok;
}

}  // namespace tintwell
