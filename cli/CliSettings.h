#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/IMessageBox.h"
#include "settings/SettingsFile.h"

namespace tintwell::cli {

// Read-only view of a Tintwell.ini for the command line: the backup switch and
// the stored colour maps. The command line never writes the file.
class CliSettings {
  public:
    // The name a stored map without "Name" key is listed under, as in the menus.
    static constexpr const char* kNoName = "ERROR: No name found";

    CliSettings();
    ~CliSettings();

    // Loads `file`, or DefaultPath() when none is given. A missing default
    // file gives the defaults; a missing or unreadable file that was named
    // explicitly is an error (LastError names it).
    bool Load(const std::optional<std::string>& file);
    const std::string& LastError() const { return lastError_; }
    const std::filesystem::path& Path() const { return path_; }

    bool BackupBMPs() const { return settings_->BackupBMPs(); }
    std::int32_t NumColorMaps() const { return settings_->NumColorMaps(); }
    std::string MapName(std::int32_t n) const { return settings_->ColorMapName(n, kNoName); }
    ColorMapEntries ReadMap(std::int32_t n) const { return settings_->ReadColorMap(n); }
    // The number of the map called `name`: an exact match first, else the first
    // match without regard to letter case (as the window's Save compares names);
    // 0 when no stored map has that name.
    std::int32_t FindMap(const std::string& name) const;

    // The folder of the running program (from /proc/self/exe).
    static std::filesystem::path ProgramFolder();
    // The Tintwell.ini the window of this install uses: beside the program
    // when it exists there or that folder can be written, else in the user's
    // configuration folder (SettingsLocation).
    static std::filesystem::path DefaultPath();

  private:
    class SilentMessages;
    std::unique_ptr<SilentMessages> messages_;
    std::unique_ptr<SettingsFile> settings_;
    std::filesystem::path path_;
    std::string lastError_;
};

}  // namespace tintwell::cli
