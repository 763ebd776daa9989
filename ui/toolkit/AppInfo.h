#pragma once

#include <string>

namespace tintwell {

// The program's identity: its folders (handed in by whoever starts the
// program, so tests use a temporary folder), its title and its version.
class AppInfo {
  public:
    AppInfo() = default;
    // Settings, help and sample images all in the program's folder.
    explicit AppInfo(std::string folder)
        : folder_(folder), settingsFolder_(folder), dataFolder_(folder), startFolder_(folder) {}
    AppInfo(std::string folder, std::string settingsFolder, std::string dataFolder,
            std::string startFolder = {})
        : folder_(std::move(folder)),
          settingsFolder_(std::move(settingsFolder)),
          dataFolder_(std::move(dataFolder)),
          startFolder_(startFolder.empty() ? dataFolder_ : std::move(startFolder)) {}

    // The folders of the program in `programFolder`, worked out as
    // SettingsLocation describes (the command line uses the same rule); the
    // user's configuration folder is created when the settings are to live
    // there, and a first start of an installed program copies the samples.
    static AppInfo ForProgramIn(const std::string& programFolder);
    // The same for the running program.
    static AppInfo ForRunningProgram();

    // The folder of the running program, without a trailing separator.
    const std::string& Folder() const { return folder_; }
    // Folder + "/" + name.
    std::string PathInFolder(const std::string& name) const;
    // Where Tintwell.ini lives.
    const std::string& SettingsFolder() const { return settingsFolder_; }
    // Where the help file and the sample images are.
    const std::string& DataFolder() const { return dataFolder_; }
    // The folder listed when the settings name none.
    const std::string& StartFolder() const { return startFolder_; }

    // "Tintwell": window captions and message boxes that name no title.
    static const std::string& Title();
    static int VersionMajor();
    static int VersionMinor();
    static int VersionRevision();
    // "major.minor.revision".
    static std::string VersionText();

  private:
    std::string folder_;
    std::string settingsFolder_;
    std::string dataFolder_;
    std::string startFolder_;
};

}  // namespace tintwell
