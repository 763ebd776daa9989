#include "core/BackupIndex.h"

#include <sys/stat.h>

#include <system_error>

#include "core/modRecolor.h"

namespace tintwell {
namespace fs = std::filesystem;

int BackupIndex::NumberedName(const std::string& name, std::string& stem) {
    constexpr std::size_t kTail = 8;  // "-NNN.bmp" or "-NNN.png"
    if (name.size() <= kTail || !(name.ends_with(".bmp") || name.ends_with(".png"))) return 0;
    const std::size_t dash = name.size() - kTail;
    if (name[dash] != '-') return 0;
    int number = 0;
    for (std::size_t i = dash + 1; i < dash + 4; ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        number = number * 10 + (name[i] - '0');
    }
    stem = name.substr(0, dash) + name.substr(dash + 4);  // a BMP's and a PNG's kept apart
    return number;
}

std::string BackupIndex::NameNumbered(const fs::path& file, int number) {
    return BackupName(file, fs::path(), number).filename().string();
}

bool BackupIndex::Made::After(const Made& other) const {
    if (when.tv_sec != other.when.tv_sec) return when.tv_sec > other.when.tv_sec;
    if (when.tv_nsec != other.when.tv_nsec) return when.tv_nsec > other.when.tv_nsec;
    return number > other.number;
}

void BackupIndex::Note(Folder& folder, const fs::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    const std::string name = path.filename().string();
    std::string stem;
    const int number = NumberedName(name, stem);
    // Made, or written, last: a copy is stamped with the time it was made,
    // to the nanosecond, and the change time covers a link or a rename.
    const Made ctime{st.st_ctim, number}, mtime{st.st_mtim, number};
    const Made made = mtime.After(ctime) ? mtime : ctime;
    if (number == 0) {
        folder.named[name] = made;
        return;
    }
    const auto found = folder.numbered.find(stem);
    if (found == folder.numbered.end() || made.After(found->second)) folder.numbered[stem] = made;
}

BackupIndex::Folder& BackupIndex::Read(const fs::path& folder) {
    const auto found = folders_.find(folder);
    if (found != folders_.end()) return found->second;
    Folder& read = folders_[folder];
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        Note(read, it->path());
    return read;
}

BackupIndex::Backup BackupIndex::NewestOf(const fs::path& file) {
    const fs::path folder = BackupFolderFor(file);
    const Folder& read = Read(folder);
    const std::string name = file.filename().string();
    std::string stem;  // as the numbered names carry it: shortened for a long name
    NumberedName(NameNumbered(file, 1), stem);
    const auto numbered = read.numbered.find(stem);
    const auto own = read.named.find(name);
    if (numbered != read.numbered.end() &&
        (own == read.named.end() || numbered->second.After(own->second)))
        return {folder / NameNumbered(file, numbered->second.number), numbered->second.number};
    if (own != read.named.end()) return {folder / name, 0};
    return {};
}

void BackupIndex::Added(const fs::path& path) {
    const auto found = folders_.find(path.parent_path());
    if (found != folders_.end()) Note(found->second, path);
}

void BackupIndex::Forget(const fs::path& folder) {
    folders_.erase(folder);
}

}  // namespace tintwell
