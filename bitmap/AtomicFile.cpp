#include "bitmap/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
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

// The process that owns a temporary name ".<name>.tmp-<pid>-<n>-<r>", or 0
// when the name is not one of ours.
pid_t TemporaryOwner(const std::string& name) {
    const std::size_t tag = name.rfind(".tmp-");
    if (name.size() < 2 || name[0] != '.' || tag == std::string::npos || tag == 0) return 0;
    const std::string rest = name.substr(tag + 5);
    unsigned long long pid = 0;
    int fields = 0;
    bool digit = false;
    for (const char c : rest + "-") {
        if (c >= '0' && c <= '9') {
            if (fields == 0 && pid < 100000000) pid = pid * 10 + static_cast<unsigned>(c - '0');
            digit = true;
        } else if (c == '-' && digit) {
            ++fields;
            digit = false;
        } else {
            return 0;
        }
    }
    return fields == 3 && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

void SyncFolder(const fs::path& folder) {
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

}  // namespace

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

void AtomicFile::RemoveStaleTemporaries(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const pid_t owner = TemporaryOwner(it->path().filename().string());
        // A writer that still runs (or any process reusing its number) keeps its file.
        if (owner > 0 && owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH)
            ::unlink(it->path().c_str());
    }
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
    RemoveStaleTemporaries(folder);
    // Hidden, beside the target; a long name is shortened to keep within NAME_MAX.
    std::string base = ".";
    base += target_.filename().string().substr(0, 200);
    base += ".tmp-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = folder / (base + UniqueSuffix());
        // 0666 lets the umask decide the bits of a new file, as for any other program.
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = candidate;
            return true;
        }
        if (errno != EEXIST) return Fail("Could not create a temporary file for", errno);
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
    }
    return true;
}

bool AtomicFile::CopyFrom(int sourceFd, std::uint64_t size) {
    if (fd_ < 0) return Fail("File is not open for writing:", EBADF);
    off_t offset = 0;
    bool kernelCopy = true;
    while (static_cast<std::uint64_t>(offset) < size) {
        const std::size_t chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - offset, 1u << 30));
        ssize_t n = -1;
        if (kernelCopy) {
            n = ::copy_file_range(sourceFd, &offset, fd_, nullptr, chunk, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                          errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy = false;  // not supported between these files: copy by hand
                continue;
            }
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
    if (::fsync(fd_) != 0) return Fail("Could not flush", errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail("Could not close", errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return Fail("Could not replace", errno);
    temp_.clear();
    SyncFolder(target_.parent_path());
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
