#include "workspace/SeenFiles.h"

#include <sys/stat.h>

namespace tintwell {

std::filesystem::path SeenFiles::Earlier(const std::filesystem::path& path) {
    struct stat st {
    }, before{};
    if (::stat(path.c_str(), &st) != 0) return {};
    std::lock_guard lock(mutex_);
    const auto found = handled_.find({st.st_dev, st.st_ino});
    if (found == handled_.end()) return {};
    // Only while the earlier name still leads there: once another program
    // has replaced that file, its inode number may name a new file.
    if (::stat(found->second.c_str(), &before) == 0 && before.st_dev == st.st_dev &&
        before.st_ino == st.st_ino)
        return found->second;
    handled_.erase(found);
    return {};
}

void SeenFiles::Handled(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return;
    std::lock_guard lock(mutex_);
    handled_.insert_or_assign(std::make_pair(st.st_dev, st.st_ino), path);
}

}  // namespace tintwell
