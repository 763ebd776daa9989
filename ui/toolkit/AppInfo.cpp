#include "ui/toolkit/AppInfo.h"

#include <filesystem>

namespace tintwell {

std::string AppInfo::PathInFolder(const std::string& name) const {
    return (std::filesystem::path(folder_) / name).string();
}

const std::string& AppInfo::Title() {
    static const std::string title = "Tintwell";
    return title;
}

int AppInfo::VersionMajor() {
    return TINTWELL_VERSION_MAJOR;
}
int AppInfo::VersionMinor() {
    return TINTWELL_VERSION_MINOR;
}
int AppInfo::VersionRevision() {
    return TINTWELL_VERSION_PATCH;
}

std::string AppInfo::VersionText() {
    return std::to_string(VersionMajor()) + "." + std::to_string(VersionMinor()) + "." +
           std::to_string(VersionRevision());
}

}  // namespace tintwell
