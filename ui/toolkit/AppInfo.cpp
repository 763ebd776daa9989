#include "ui/toolkit/AppInfo.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <filesystem>
#include <system_error>

#include "workspace/SettingsLocation.h"

namespace tintwell {
namespace fs = std::filesystem;

AppInfo AppInfo::ForRunningProgram() {
    return ForProgramIn(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString());
}

AppInfo AppInfo::ForProgramIn(const std::string& programFolder) {
    const fs::path program = programFolder;
    const fs::path settings =
        SettingsLocation::SettingsFolder(program, SettingsLocation::UserConfigFolder());
    if (settings != program) {
        // As the XDG base directories ask: a folder the user alone can read.
        std::error_code ec;
        fs::create_directories(settings.parent_path(), ec);
        ::mkdir(settings.c_str(), 0700);  // a failure shows at the first write
    }
    const fs::path data =
        SettingsLocation::DataFolder(program, SettingsLocation::ShareFolder(program));
    const fs::path start =
        SettingsLocation::StartFolder(program, data, settings / SettingsLocation::kFileName,
                                      SettingsLocation::UserSamplesFolder());
    return AppInfo(program.string(), settings.string(), data.string(), start.string());
}

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
