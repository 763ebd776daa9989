#include "settings/SettingsLocation.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>

namespace tintwell {
namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool EndsWithBmp(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.ends_with(".bmp");
}

bool HoldsHelpOrImages(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_regular_file(folder / "Tintwell.html", ec)) return true;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (EndsWithBmp(it->path().filename().string()) && it->is_regular_file(ec)) return true;
    }
    return false;
}

}  // namespace

fs::path SettingsLocation::UserConfigFolder() {
    fs::path base = Environment("XDG_CONFIG_HOME");
    if (!base.is_absolute()) {
        const std::string home = Environment("HOME");
        base = fs::path(home.empty() ? "/" : home) / ".config";
    }
    return base / "Tintwell";
}

fs::path SettingsLocation::SettingsFolder(const fs::path& programFolder,
                                          const fs::path& userConfigFolder) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(programFolder / kFileName, ec))) return programFolder;
    if (::access(programFolder.c_str(), W_OK) == 0) return programFolder;
    return userConfigFolder;
}

fs::path SettingsLocation::ShareFolder(const fs::path& programFolder) {
    return (programFolder / TINTWELL_SHARE_FROM_PROGRAM).lexically_normal();
}

fs::path SettingsLocation::DataFolder(const fs::path& programFolder, const fs::path& shareFolder) {
    std::error_code ec;
    if (HoldsHelpOrImages(programFolder) || !fs::is_directory(shareFolder, ec))
        return programFolder;
    return shareFolder;
}

}  // namespace tintwell
