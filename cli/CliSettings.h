#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/IMessageBox.h"
#include "settings/SettingsFile.h"
#include "workspace/MapStore.h"

namespace tintwell::cli {

// Read-only view of a Tintwell.ini for the command line: the backup switch and
// the stored colour maps. The command line never writes the file.
class CliSettings {
  public:
    CliSettings();
    ~CliSettings();

    // Loads `file`, or DefaultPath() when none is given. A missing default
    // file gives the defaults; a missing or unreadable file that was named
    // explicitly is an error (LastError names it).
    bool Load(const std::optional<std::string>& file);
    const std::string& LastError() const { return lastError_; }
    const std::filesystem::path& Path() const { return path_; }

    bool BackupBMPs() const { return settings_->BackupBMPs(); }
    // The stored colour maps.
    const MapStore& Maps() const { return *maps_; }

    // The folder of the running program (from /proc/self/exe).
    static std::filesystem::path ProgramFolder();
    // The Tintwell.ini the window of this install uses (SettingsLocation).
    static std::filesystem::path DefaultPath();

  private:
    class SilentMessages;
    std::unique_ptr<SilentMessages> messages_;
    std::unique_ptr<SettingsFile> settings_;
    std::unique_ptr<MapStore> maps_;
    std::filesystem::path path_;
    std::string lastError_;
};

}  // namespace tintwell::cli
