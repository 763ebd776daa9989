#include "workspace/SettingsLocation.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "workspace/FolderListing.h"

namespace tintwell {
namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// $variable when it is an absolute path, else $HOME/fallback.
fs::path XdgFolder(const char* variable, const char* fallback) {
    fs::path base = Environment(variable);
    if (base.is_absolute()) return base;
    const std::string home = Environment("HOME");
    return fs::path(home.empty() ? "/" : home) / fallback;
}

}  // namespace

bool SettingsLocation::IsPortable(const fs::path& programFolder) {
    std::error_code ec;
    return fs::is_regular_file(programFolder / kHelpFileName, ec);
}

fs::path SettingsLocation::UserConfigFolder() {
    return XdgFolder("XDG_CONFIG_HOME", ".config") / "Tintwell";
}

fs::path SettingsLocation::UserSamplesFolder() {
    return XdgFolder("XDG_DATA_HOME", ".local/share") / "tintwell" / "Samples";
}

fs::path SettingsLocation::SettingsFolder(const fs::path& programFolder,
                                          const fs::path& userConfigFolder) {
    return IsPortable(programFolder) ? programFolder : userConfigFolder;
}

fs::path SettingsLocation::ShareFolder(const fs::path& programFolder) {
    return (programFolder / TINTWELL_SHARE_FROM_PROGRAM).lexically_normal();
}

fs::path SettingsLocation::DataFolder(const fs::path& programFolder, const fs::path& shareFolder) {
    std::error_code ec;
    if (IsPortable(programFolder) || !fs::is_directory(shareFolder, ec)) return programFolder;
    return shareFolder;
}

fs::path SettingsLocation::StartFolder(const fs::path& programFolder, const fs::path& dataFolder,
                                       const fs::path& settingsFile, const fs::path& userSamples) {
    if (IsPortable(programFolder)) return dataFolder;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(settingsFile, ec))) {
        fs::create_directories(userSamples, ec);
        for (const std::string& name : FolderListing::Names(dataFolder))
            fs::copy_file(dataFolder / name, userSamples / name, fs::copy_options::skip_existing,
                          ec);
    }
    return fs::is_directory(userSamples, ec) ? userSamples : dataFolder;
}

}  // namespace tintwell
