#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/BmpBuilder.h"

namespace tintwell::test {

// Every entry under `root` by relative path: a file's bytes, or "-> target"
// for a symbolic link, or "<folder>".
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> entries;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string rel = fs::relative(it->path(), root).string();
        if (it->is_symlink()) {
            entries[rel] = "-> " + fs::read_symlink(it->path()).string();
        } else if (it->is_directory()) {
            entries[rel] = "<folder>";
        } else {
            const std::vector<std::uint8_t> bytes = BmpBuilder::ReadFile(it->path());
            entries[rel] = std::string(bytes.begin(), bytes.end());
        }
    }
    return entries;
}

// Names of the entries that differ between two snapshots, for readable failures.
inline std::vector<std::string> Differences(const std::map<std::string, std::string>& a,
                                            const std::map<std::string, std::string>& b) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : a) {
        auto it = b.find(name);
        if (it == b.end() || it->second != bytes) names.push_back(name);
    }
    for (const auto& [name, bytes] : b)
        if (!a.count(name)) names.push_back(name);
    return names;
}

// Makes `dir` the current folder for its lifetime, so library calls see the
// same relative paths as the program run in that folder.
class CurrentFolder {
  public:
    explicit CurrentFolder(const std::filesystem::path& dir)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~CurrentFolder() { std::filesystem::current_path(previous_); }

  private:
    std::filesystem::path previous_;
};

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    BmpBuilder::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace tintwell::test
