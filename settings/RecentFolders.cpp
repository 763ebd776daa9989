#include "settings/RecentFolders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tintwell {

std::vector<std::string> RecentFolders::Stored() const {
    std::vector<std::string> folders;
    for (std::size_t n = 1; n <= kMaxCount; ++n) {
        const std::string folder = settings_.Ini().ReadString(kSection, std::to_string(n));
        if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    return folders;
}

std::vector<std::string> RecentFolders::Existing() {
    const std::vector<std::string> stored = Stored();
    std::vector<std::string> existing;
    std::error_code ec;
    for (const std::string& folder : stored) {
        if (std::filesystem::is_directory(folder, ec)) existing.push_back(folder);
    }
    if (existing != stored) Store(existing);
    return existing;
}

void RecentFolders::Add(const std::string& folder) {
    std::vector<std::string> folders = Stored();
    if (!folders.empty() && folders.front() == folder) return;
    std::erase(folders, folder);
    folders.insert(folders.begin(), folder);
    if (folders.size() > kMaxCount) folders.resize(kMaxCount);
    Store(folders);
}

void RecentFolders::Store(const std::vector<std::string>& folders) {
    SettingsFile::SaveBatch batch(settings_);
    settings_.Ini().DeleteSection(kSection);
    for (std::size_t n = 0; n < folders.size(); ++n)
        settings_.Ini().WriteValue(kSection, std::to_string(n + 1), folders[n]);
}

}  // namespace tintwell
