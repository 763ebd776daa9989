#include "core/FileLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "bitmap/AtomicFile.h"

namespace tintwell {
namespace {

// A program that keeps the file open for writing is working on it, or keeps
// it open for good: a run waits this long for it to close the file.
constexpr std::chrono::seconds kWritersWait{2};

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A program opening a leased file for writing waits until the lease is given
// up: it is given up here, at once, and the break is seen at our next check.
void OnLeaseBreak(int, siginfo_t* info, void*) {
    const int saved = errno;
    if (info != nullptr) ::fcntl(info->si_fd, F_SETLEASE, F_UNLCK);
    errno = saved;
}

// The signal a lease break sends, with its handler installed on first use.
int LeaseSignal() {
    static const int signal = [] {
        const int number = SIGRTMIN + 6;
        struct sigaction action {};
        action.sa_sigaction = OnLeaseBreak;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(number, &action, nullptr);
        return number;
    }();
    return signal;
}

}  // namespace

FileLock::~FileLock() {
    Release();
}

void FileLock::Release() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock and the lease
    fd_ = -1;
    leased_ = false;
}

bool FileLock::TakeLease(bool& openForWriting) {
    openForWriting = false;
    if (::fcntl(fd_, F_SETSIG, LeaseSignal()) != 0) return false;
    if (::fcntl(fd_, F_SETLEASE, F_RDLCK) == 0) return leased_ = true;
    // EAGAIN: open for writing somewhere. Anything else (not our file, a file
    // system without leases): no lease, the size and time are compared.
    openForWriting = errno == EAGAIN;
    return false;
}

FileLock::Result FileLock::Acquire(const std::filesystem::path& path,
                                   std::chrono::milliseconds wait, std::string& error) {
    Release();
    path_ = path;
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + wait;
    const auto writersDeadline = start + std::min<std::chrono::milliseconds>(wait, kWritersWait);
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
        bool openForWriting = false;
        Result waiting = Result::Busy;
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            // The holder we waited for may have replaced the file: lock that one.
            if (::stat(path.c_str(), &named) == 0 && SameFile(named, locked_) &&
                (TakeLease(openForWriting) || !openForWriting) && ::fstat(fd_, &locked_) == 0)
                return Result::Locked;
            if (openForWriting) waiting = Result::OpenForWriting;
        } else if (errno != EWOULDBLOCK) {
            error = std::strerror(errno);
            Release();
            return Result::Failed;
        }
        Release();
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline || (openForWriting && now >= writersDeadline)) return waiting;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

bool FileLock::SameContents(const struct stat& now, std::string& why) const {
    if (leased_ && ::fcntl(fd_, F_GETLEASE) != F_RDLCK) {
        why = "another program opened it for writing";
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
    return SameContents(now, why);
}

bool FileLock::WasReplaced(const struct stat& replaced, std::string& why) const {
    struct stat now {};
    if (fd_ < 0 || ::fstat(fd_, &now) != 0) {
        why = "it could not be checked";
        return false;
    }
    if (!SameFile(replaced, now)) {
        why = "another file took its place";
        return false;
    }
    return SameContents(now, why);
}

bool FileLock::ReplaceWith(AtomicFile& out, std::string& why) const {
    return out.Commit([&](const struct stat* replaced) {
        return replaced != nullptr ? WasReplaced(*replaced, why) : Unchanged(why);
    });
}

}  // namespace tintwell
