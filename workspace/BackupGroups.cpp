#include "workspace/BackupGroups.h"

#include <sys/stat.h>

#include <map>
#include <numeric>
#include <string>
#include <system_error>
#include <unordered_map>

namespace tintwell {
namespace fs = std::filesystem;

namespace {

class UnionFind {
  public:
    explicit UnionFind(std::size_t n) : parent_(n) {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
    }
    std::size_t Find(std::size_t i) {
        while (parent_[i] != i)
            i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    // The smaller index stays the root, so a group is named by its first file.
    void Join(std::size_t a, std::size_t b) {
        a = Find(a);
        b = Find(b);
        if (a == b) return;
        if (b < a) std::swap(a, b);
        parent_[b] = a;
    }

  private:
    std::vector<std::size_t> parent_;
};

// The name up to the last "." (the whole name without one), as the numbered
// backup names are built.
std::string Stem(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// For a name of the form STEM-NNN.bmp (or .png), the STEM whose numbered copies it matches.
bool NumberedBackupStem(const std::string& name, std::string& stem) {
    constexpr std::size_t kTail = 8;  // "-NNN.bmp"
    if (name.size() <= kTail) return false;
    const std::string tail = name.substr(name.size() - kTail);
    if (tail[0] != '-' || (tail.substr(4) != ".bmp" && tail.substr(4) != ".png")) return false;
    for (int i = 1; i <= 3; ++i)
        if (tail[i] < '0' || tail[i] > '9') return false;
    stem = name.substr(0, name.size() - kTail);
    return true;
}

}  // namespace

std::vector<std::vector<std::size_t>> GroupFilesThatMayClash(const std::vector<fs::path>& files) {
    UnionFind groups(files.size());
    std::unordered_map<std::string, std::size_t> owner;  // key -> first file that claimed it
    auto claim = [&](const std::string& key, std::size_t i) {
        const auto [it, fresh] = owner.emplace(key, i);
        if (!fresh) groups.Join(it->second, i);
    };
    std::map<std::string, std::string> folderKeys;  // folder as given -> canonical form
    for (std::size_t i = 0; i < files.size(); ++i) {
        const fs::path& file = files[i];
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0)
            claim("file:" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino), i);

        const std::string given = file.parent_path().string();
        auto found = folderKeys.find(given);
        if (found == folderKeys.end()) {
            std::error_code ec;
            fs::path canonical =
                fs::weakly_canonical(given.empty() ? fs::path(".") : fs::path(given), ec);
            found = folderKeys.emplace(given, ec ? given : canonical.string()).first;
        }
        const std::string folder = "stem:" + found->second + '\0';
        const std::string name = file.filename().string();
        claim(folder + Stem(name), i);
        std::string numberedStem;
        if (NumberedBackupStem(name, numberedStem)) claim(folder + numberedStem, i);
    }
    std::vector<std::vector<std::size_t>> result;
    std::vector<std::size_t> slot(files.size(), SIZE_MAX);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::size_t root = groups.Find(i);
        if (slot[root] == SIZE_MAX) {
            slot[root] = result.size();
            result.emplace_back();
        }
        result[slot[root]].push_back(i);
    }
    return result;
}

}  // namespace tintwell
