#include "core/RecolorBatch.h"

#include <sys/stat.h>

#include "core/modRecolor.h"

namespace tintwell {

RecolorBatch::Outcome RecolorBatch::Recolor(const std::filesystem::path& path, bool backup,
                                            const SelectionRect& selection, bool outside,
                                            const ColorMap& map, IMessageBox& messages) {
    struct stat st {
    }, before{};
    if (::stat(path.c_str(), &st) == 0) {
        std::unique_lock lock(mutex_);
        const auto found = handled_.find({st.st_dev, st.st_ino});
        // Only while the earlier name still leads there: once another program
        // has replaced that file, its inode number may name a new file.
        if (found != handled_.end() && ::stat(found->second.c_str(), &before) == 0 &&
            before.st_dev == st.st_dev && before.st_ino == st.st_ino) {
            const std::filesystem::path earlier = found->second;
            lock.unlock();
            messages.Show(SameFileMessage(path.string(), earlier.string()));
            return Outcome::SameFile;
        }
        if (found != handled_.end()) handled_.erase(found);
    }
    const bool recolored = RecolorFile(path, backup, selection, outside, map, messages);
    // The file the name leads to now: after a replacement, the new one.
    if (::stat(path.c_str(), &st) == 0) {
        std::lock_guard lock(mutex_);
        handled_.insert_or_assign(std::make_pair(st.st_dev, st.st_ino), path);
    }
    return recolored ? Outcome::Recolored : Outcome::NotRecolored;
}

}  // namespace tintwell
