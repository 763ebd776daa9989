#include "bitmap/AtomicFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "bitmap/TemporaryFiles.h"

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

// Renames `from` to `to` only when no entry is called `to` (errno EEXIST when
// one is). File systems without RENAME_NOREPLACE get a new link instead,
// which fails the same way.
bool RenameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

// Attributes a replaced file must keep: the user's own and the ACL. Others
// (security labels, capabilities) are kept where the system lets us.
bool MustKeep(const std::string& name) {
    return name.rfind("user.", 0) == 0 || name.rfind("system.posix_acl_", 0) == 0;
}

// For "/dev/stdout", "/dev/fd/N", "/proc/self/fd/N" and the like: N, the
// descriptor of this process the path stands for; else -1.
int OwnDescriptor(const fs::path& path) {
    const std::string p = path.string();
    if (p == "/dev/stdout") return 1;
    if (p == "/dev/stderr") return 2;
    for (const std::string prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (p.rfind(prefix, 0) != 0 || p.size() == prefix.size()) continue;
        const std::string n = p.substr(prefix.size());
        if (n.size() < 6 && n.find_first_not_of("0123456789") == std::string::npos)
            return std::stoi(n);
    }
    return -1;
}

// Connects to the socket at `path` as a stream. -1 with errno set.
int ConnectSocket(const fs::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.native().size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 &&
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    return fd;
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
    : requested_(followLinks ? target : fs::path()),
      target_(followLinks ? ResolveTarget(target) : std::move(target)) {}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Fail(const std::string& what, int err) {
    // A file-size limit stops a write as a full disk would, and is reported so.
    const std::string reason =
        err == EFBIG ? std::string(std::strerror(ENOSPC)) + " (the file size limit was reached)"
                     : std::strerror(err);
    error_ = what + " \"" + target_.string() + "\": " + reason;
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
    inPlace_ = synced_ = false;
    // What the name leads to decides how it is written: only a regular file
    // (or nothing yet) is replaced.
    struct stat named {};
    if (!requested_.empty() && ::stat(requested_.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
        target_ = requested_;
        if (S_ISDIR(named.st_mode)) return Fail("Could not write", EISDIR);
        if (S_ISBLK(named.st_mode)) {
            error_ = "Could not write \"" + target_.string() + "\": it is a block device";
            return false;
        }
        return OpenInPlace(named.st_mode & S_IFMT);
    }
    // A link that still leads to a link after every hop is a loop: the link
    // itself is never replaced by a file.
    struct stat link {};
    if (!requested_.empty() && ::lstat(target_.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
        return Fail("Could not write", ELOOP);
    const fs::path folder = target_.parent_path();
    // A read-only file is left alone, as a program writing it in place would
    // have to; renaming over it would silently replace it. (A name that is
    // not followed names a new file, a backup, which is only published.)
    struct stat existing {};
    if (!requested_.empty() && ::lstat(target_.c_str(), &existing) == 0 &&
        S_ISREG(existing.st_mode) && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        return Fail("Could not write", errno);
    TemporaryFiles::SweepOnce(folder);
    // The usual name is fixed per target, so the temporary of a writer that
    // was killed is found and removed by the next save of the same file. A
    // live writer of the same file keeps its lock, and we take a name of our own.
    const fs::path usual = TemporaryFiles::UsualName(target_);
    for (int attempt = 0; attempt < 102; ++attempt) {
        const fs::path candidate = attempt < 2 ? usual : TemporaryFiles::PrivateName(target_);
        const int fd = TemporaryFiles::CreateLocked(candidate);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = candidate;
            position_ = 0;
            return true;
        }
        if (errno != EEXIST) return Fail("Could not create a temporary file for", errno);
        if (attempt == 0 && !TemporaryFiles::RemoveIfAbandoned(usual)) attempt = 1;
    }
    return Fail("Could not create a temporary file for", EEXIST);
}

bool AtomicFile::OpenInPlace(unsigned type) {
    int fd = -1;
    if (type == S_IFSOCK) {
        fd = ConnectSocket(requested_);
        // This process's own socket (its standard output, say) cannot be
        // connected to by name: write to the descriptor the name stands for.
        if (fd < 0 && OwnDescriptor(requested_) >= 0)
            fd = ::fcntl(OwnDescriptor(requested_), F_DUPFD_CLOEXEC, 3);
    } else {
        // Not blocking on a FIFO nobody reads (ENXIO), then blocking writes.
        fd = ::open(requested_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    if (fd < 0 && type == S_IFIFO && errno == ENXIO) {
        error_ = "Could not write \"" + target_.string() + "\": no program reads from that pipe";
        return false;
    }
    if (fd < 0) return Fail("Could not write", errno);
    fd_ = fd;
    inPlace_ = true;
    position_ = 0;
    return true;
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
    synced_ = false;
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
        ssize_t n;  // set by either way of copying
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

bool AtomicFile::SetPermissions(unsigned mode) {
    if (fd_ < 0 || inPlace_) return Fail("File is not open for writing:", EBADF);
    return ::fchmod(fd_, mode & 07777) == 0 || Fail("Could not set the permissions of", errno);
}

bool AtomicFile::KeepAttributesOf(const fs::path& original) {
    const ssize_t size = ::listxattr(original.c_str(), nullptr, 0);
    if (size <= 0) return true;  // none, or not supported here
    std::string names(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::listxattr(original.c_str(), names.data(), names.size());
    for (std::size_t at = 0; got > 0 && at < static_cast<std::size_t>(got);) {
        const std::string name(names.c_str() + at);
        at += name.size() + 1;
        std::string value;
        ssize_t n = ::getxattr(original.c_str(), name.c_str(), nullptr, 0);
        if (n >= 0) {
            value.resize(static_cast<std::size_t>(n));
            n = ::getxattr(original.c_str(), name.c_str(), value.data(), value.size());
        }
        const bool kept = n >= 0 && ::fsetxattr(fd_, name.c_str(), value.data(),
                                                static_cast<std::size_t>(n), 0) == 0;
        if (!kept && MustKeep(name))
            return Fail("Could not keep the attribute " + name + " of", errno);
    }
    return true;
}

bool AtomicFile::TakeAttributesOf(const fs::path& original) {
    if (fd_ < 0 || inPlace_) return Fail("File is not open for writing:", EBADF);
    struct stat st {};
    if (::stat(original.c_str(), &st) != 0) return Fail("Could not read the permissions of", errno);
    // Owner and group where the system allows it: an administrator keeps
    // both, a member of the file's group keeps the group.
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(fd_, st.st_uid, st.st_gid) != 0) [[maybe_unused]]
        int ignored = ::fchown(fd_, static_cast<uid_t>(-1), st.st_gid);
    if (::fchmod(fd_, st.st_mode & 07777) != 0)
        return Fail("Could not copy the permissions of", errno);
    return KeepAttributesOf(original);
}

bool AtomicFile::WriteOut() {
    if (fd_ < 0 || inPlace_) return Fail("File is not open for writing:", EBADF);
    constexpr unsigned kWriteAndWait =
        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    struct stat written {};
    if (::fstat(fd_, &written) != 0) return Fail("Could not flush", errno);
    if (static_cast<std::uint64_t>(written.st_size) < position_ &&
        ::ftruncate(fd_, static_cast<off_t>(position_)) != 0)
        return Fail("Could not write", errno);
    if (::sync_file_range(fd_, 0, 0, kWriteAndWait) != 0) return Fail("Could not flush", errno);
    synced_ = true;
    return true;
}

void AtomicFile::StartWriteOut() {
    if (fd_ >= 0 && !inPlace_) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool AtomicFile::StampNow() {
    timespec times[2] = {{0, UTIME_OMIT}, {}};
    ::clock_gettime(CLOCK_REALTIME, &times[1]);
    return ::futimens(fd_, times) == 0 || Fail("Could not stamp", errno);
}

bool AtomicFile::Commit() {
    return Commit({});
}

bool AtomicFile::Commit(const ReplaceCheck& check) {
    refused_ = false;
    if (fd_ < 0) return Fail("File is not open for writing:", EBADF);
    if (inPlace_) {
        // Written as it went; a device or pipe has nothing to rename or sync.
        ::close(fd_);
        fd_ = -1;
        return true;
    }
    struct stat original {};
    if (::stat(target_.c_str(), &original) == 0 && !TakeAttributesOf(target_)) return false;
    if (!Flush()) return false;
    if (check && !check(nullptr)) {
        refused_ = true;
        Discard();
        return false;
    }
    bool taken = false;
    return check ? ReplaceByExchange(check) : Publish(target_, true, taken);
}

// The new file and the one at the target swap names in one step, so what was
// replaced is known for certain: when the check refuses it they swap back.
bool AtomicFile::ReplaceByExchange(const ReplaceCheck& check) {
    if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) != 0) {
        bool taken = false;
        if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)  // no exchange here
            return Publish(target_, true, taken);
        if (errno != ENOENT) return Fail("Could not replace", errno);
        refused_ = true;  // the file went meanwhile
        Discard();
        return false;
    }
    struct stat replaced {};
    if (::lstat(temp_.c_str(), &replaced) != 0 || !check(&replaced)) {
        refused_ = true;
        if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) != 0)
            temp_.clear();  // the other program's file is under the temporary name: kept
        Discard();
        return false;
    }
    ::unlink(temp_.c_str());  // the replaced file
    temp_.clear();
    ::close(fd_);
    fd_ = -1;
    return true;
}

bool AtomicFile::Flush() {
    if (synced_) return true;
    // A copy that ended in a hole has not reached its full length yet.
    struct stat written {};
    if (::fstat(fd_, &written) != 0) return Fail("Could not flush", errno);
    if (static_cast<std::uint64_t>(written.st_size) < position_ &&
        ::ftruncate(fd_, static_cast<off_t>(position_)) != 0)
        return Fail("Could not write", errno);
    if (::fsync(fd_) != 0) return Fail("Could not flush", errno);
    synced_ = true;
    return true;
}

bool AtomicFile::Publish(const fs::path& name, bool replace, bool& taken) {
    taken = false;
    if (fd_ < 0 || inPlace_) return Fail("File is not open for writing:", EBADF);
    target_ = name;
    if (!Flush()) return false;
    // Renamed while still open, so its lock keeps other writers from taking the
    // temporary for an abandoned one. The folder is not fsynced: until it
    // reaches the disk a crash can only bring back the old, whole file. Callers
    // that need the new name durable (a backup) sync the folder themselves.
    const bool renamed =
        replace ? ::rename(temp_.c_str(), name.c_str()) == 0 : RenameNoReplace(temp_, name);
    if (!renamed) {
        taken = !replace && errno == EEXIST;
        return taken ? false : Fail(replace ? "Could not replace" : "Could not create", errno);
    }
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
