#pragma once

#include <filesystem>

namespace tintwell {

// Where the program keeps Tintwell.ini and finds its help and sample images.
// A program folder that holds its settings file or can be written keeps the
// settings beside the program (a portable copy, a build, an install into a
// folder of the user's own); an installed program in a folder the user cannot
// write keeps them in the user's configuration folder, as Linux programs do.
class SettingsLocation {
  public:
    static constexpr const char* kFileName = "Tintwell.ini";

    // The user's configuration folder for Tintwell, as Qt's AppConfigLocation
    // names it: $XDG_CONFIG_HOME/Tintwell, or $HOME/.config/Tintwell when
    // XDG_CONFIG_HOME is unset, empty or not an absolute path.
    static std::filesystem::path UserConfigFolder();

    // The folder of Tintwell.ini: `programFolder` when the file exists there
    // or the folder can be written, else `userConfigFolder`.
    static std::filesystem::path SettingsFolder(const std::filesystem::path& programFolder,
                                                const std::filesystem::path& userConfigFolder);

    // The installed share folder (PREFIX/share/tintwell) as seen from the
    // installed program's folder (PREFIX/lib/tintwell).
    static std::filesystem::path ShareFolder(const std::filesystem::path& programFolder);

    // The folder holding the help file and the sample images, which is also the
    // folder listed on a first start: `programFolder` when it holds the help
    // file or a BMP file, else `shareFolder` when that is a folder, else
    // `programFolder`.
    static std::filesystem::path DataFolder(const std::filesystem::path& programFolder,
                                            const std::filesystem::path& shareFolder);
};

}  // namespace tintwell
