#include "bitmap/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

void SyncFolder(const fs::path& folder) {
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

}  // namespace

AtomicFile::AtomicFile(fs::path target) : target_(ResolveTarget(target)) {}

AtomicFile::~AtomicFile() { Discard(); }

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
    const std::string base = "." + target_.filename().string() + ".tmp-";
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

bool AtomicFile::Commit() {
    if (fd_ < 0) return Fail("File is not open for writing:", EBADF);
    struct stat original {};
    if (::stat(target_.c_str(), &original) == 0 && ::fchmod(fd_, original.st_mode & 07777) != 0)
        return Fail("Could not copy the permissions of", errno);
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
