#pragma once

#include <string>

namespace tintwell {

// The program's identity: its folder (handed in by whoever starts the program,
// so tests use a temporary folder), its title and its version.
class AppInfo {
  public:
    AppInfo() = default;
    explicit AppInfo(std::string folder) : folder_(std::move(folder)) {}

    // The folder of the running program, without a trailing separator.
    const std::string& Folder() const { return folder_; }
    // Folder + "/" + name: where Tintwell.ini and the help file live.
    std::string PathInFolder(const std::string& name) const;

    // "Tintwell": window captions and message boxes that name no title.
    static const std::string& Title();
    static int VersionMajor();
    static int VersionMinor();
    static int VersionRevision();
    // "major.minor.revision".
    static std::string VersionText();

  private:
    std::string folder_;
};

}  // namespace tintwell
