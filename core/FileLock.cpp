#include "core/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace tintwell {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

FileLock::~FileLock() {
    Release();
}

void FileLock::Release() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
    fd_ = -1;
}

FileLock::Result FileLock::Acquire(const std::filesystem::path& path,
                                   std::chrono::milliseconds wait, std::string& error) {
    Release();
    path_ = path;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        // Not blocking on a FIFO that took the file's place.
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) {
            error = std::strerror(errno);
            return errno == ENOENT || errno == ENOTDIR ? Result::Missing : Result::Failed;
        }
        struct stat named {};
        if (::fstat(fd_, &locked_) != 0 || !S_ISREG(locked_.st_mode)) {
            Release();
            return Result::Missing;
        }
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            // The holder we waited for may have replaced the file: lock that one.
            if (::stat(path.c_str(), &named) == 0 && SameFile(named, locked_) &&
                ::fstat(fd_, &locked_) == 0)
                return Result::Locked;
        } else if (errno != EWOULDBLOCK) {
            error = std::strerror(errno);
            Release();
            return Result::Failed;
        } else if (std::chrono::steady_clock::now() >= deadline) {
            Release();
            return Result::Busy;
        } else {
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(50));
        }
        Release();
    }
}

bool FileLock::Unchanged(std::string& why) const {
    struct stat now {
    }, named{};
    if (fd_ < 0 || ::fstat(fd_, &now) != 0) {
        why = "it could not be checked";
        return false;
    }
    if (::stat(path_.c_str(), &named) != 0 || !SameFile(named, now)) {
        why = "another file took its place";
        return false;
    }
    if (now.st_size != locked_.st_size) {
        why = "its size changed";
        return false;
    }
    if (!SameTime(now.st_mtim, locked_.st_mtim)) {
        why = "it was written to";
        return false;
    }
    return true;
}

}  // namespace tintwell
