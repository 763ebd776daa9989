#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <utility>

namespace tintwell {

// The files (device and inode) a batch has handled, so that it handles each
// once however many names reach it: a second name of a file already handled
// (a symbolic link, the same path twice) is known as the same file. A file is
// known by what its name led to after it was handled: a hard link that a
// replacement has split from the handled name still holds the old bytes, and
// counts as a file of its own. Safe to share between threads.
class SeenFiles {
  public:
    // The name under which the file `path` leads to was handled, or an empty
    // path when it was not (or no longer leads there).
    std::filesystem::path Earlier(const std::filesystem::path& path);
    // `path` was handled: remembers the file it leads to now.
    void Handled(const std::filesystem::path& path);

  private:
    std::mutex mutex_;
    std::map<std::pair<dev_t, ino_t>, std::filesystem::path> handled_;
};

}  // namespace tintwell
