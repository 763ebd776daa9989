#pragma once

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace tintwell {

class AtomicFile;

// An exclusive advisory lock (flock) on the file a path names, held from
// reading the file to replacing it, so that two runs on one file (two
// programs, or two jobs of one; a recolour or a restore) take turns instead of
// one losing the other's change. A file replaced while we waited is opened
// again: the lock is always on the file the path names at the moment it was
// taken. Released when the object goes (or the process ends, however it ends).
//
// Programs that write without the lock are watched through a read lease where
// the system grants one (the file is ours, or we may take leases, on a file
// system that has them): any program that opens the file for writing from
// then on breaks the lease, at once and without waiting for us. Elsewhere the
// file's size and time of last change are compared instead.
class FileLock {
  public:
    enum class Result { Locked, Missing, Busy, OpenForWriting, Failed };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Locks the regular file `path` names (links followed), waiting up to
    // `wait` while another holds it or has it open for writing. Missing: no
    // regular file is there. Busy: still locked after `wait`. OpenForWriting:
    // another program kept it open for writing for 2 seconds (or `wait`). Failed: it
    // could not be opened (`error` says why).
    Result Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait,
                   std::string& error);
    // True while no program can have written the file since it was locked:
    // the lease is unbroken (without one: its size and time of last change
    // are those it had) and the path still names it; else `why` says what
    // another program did.
    bool Unchanged(std::string& why) const;
    // After an exchange of names: true when `replaced` is the locked file and
    // it is still unchanged, so nothing another program wrote was replaced.
    bool WasReplaced(const struct stat& replaced, std::string& why) const;
    // Commits `out` over the file unless another program wrote it since it
    // was locked (checked after every flush, and again with the file the
    // exchange of names replaced); false with `why` set when it did.
    bool ReplaceWith(AtomicFile& out, std::string& why) const;
    // The locked file, open for reading.
    int Fd() const { return fd_; }
    // The locked file as it was when locked.
    const struct stat& Locked() const { return locked_; }
    // True when a lease watches the file.
    bool Leased() const { return leased_; }

  private:
    void Release();
    bool TakeLease(bool& openForWriting);
    bool SameContents(const struct stat& now, std::string& why) const;

    std::filesystem::path path_;
    int fd_ = -1;
    bool leased_ = false;
    struct stat locked_ {};
};

}  // namespace tintwell
