#pragma once

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace tintwell {

// An exclusive advisory lock (flock) on the file a path names, held from
// reading the file to replacing it, so that two recolourings of one file (two
// programs, or two jobs of one) take turns instead of one losing the other's
// change. A file replaced while we waited is opened again: the lock is always
// on the file the path names at the moment it was taken. Released when the
// object goes (or the process ends, however it ends).
class FileLock {
  public:
    enum class Result { Locked, Missing, Busy, Failed };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Locks the regular file `path` names (links followed), waiting up to
    // `wait` while another holds it. Missing: no regular file is there. Busy:
    // still held after `wait`. Failed: it could not be opened (`error` says why).
    Result Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait,
                   std::string& error);
    // True when the path still names the locked file and its size and time of
    // last change are those it had when it was locked; else `why` says what
    // another program changed meanwhile.
    bool Unchanged(std::string& why) const;
    // The locked file, open for reading.
    int Fd() const { return fd_; }

  private:
    void Release();

    std::filesystem::path path_;
    int fd_ = -1;
    struct stat locked_ {};
};

}  // namespace tintwell
