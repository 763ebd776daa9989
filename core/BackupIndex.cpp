#include "core/BackupIndex.h"

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

void BackupIndex::Note(Folder& folder, const std::string& name) {
    folder.names.insert(name);
    std::string stem;
    const int number = NumberedName(name, stem);
    if (number > 0 && number > folder.highest[stem]) folder.highest[stem] = number;
}

BackupIndex::Folder& BackupIndex::Read(const fs::path& folder) {
    const auto found = folders_.find(folder);
    if (found != folders_.end()) return found->second;
    Folder& read = folders_[folder];
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind;
        if (it->is_regular_file(kind)) Note(read, it->path().filename().string());
    }
    return read;
}

BackupIndex::Backup BackupIndex::NewestOf(const fs::path& file) {
    const fs::path folder = BackupFolderFor(file);
    const Folder& read = Read(folder);
    const std::string name = file.filename().string();
    std::string stem;  // as the numbered names carry it: shortened for a long name
    NumberedName(NameNumbered(file, 1), stem);
    const auto numbered = read.highest.find(stem);
    if (numbered != read.highest.end())
        return {folder / NameNumbered(file, numbered->second), numbered->second};
    if (read.names.count(name) != 0) return {folder / name, 0};
    return {};
}

void BackupIndex::Added(const fs::path& path) {
    const auto found = folders_.find(path.parent_path());
    if (found != folders_.end()) Note(found->second, path.filename().string());
}

void BackupIndex::Forget(const fs::path& folder) {
    folders_.erase(folder);
}

}  // namespace tintwell
