#pragma once

#include <filesystem>

namespace tintwell {

// Where the program keeps Tintwell.ini, finds its help and sample images, and
// which folder it lists when the settings name none; one rule for the window
// and the command line.
//
// A program whose folder holds its own help file (Tintwell.html) is a build or
// a portable copy: its settings, help and samples stay beside it. Any other
// program is installed (its help and samples in PREFIX/share/tintwell): its
// settings live in the user's configuration folder, whoever runs it, root
// included, and a first start copies the samples into the user's data folder
// and lists them there.
class SettingsLocation {
  public:
    static constexpr const char* kFileName = "Tintwell.ini";
    static constexpr const char* kHelpFileName = "Tintwell.html";

    // The program's folder holds its help file: a build or a portable copy.
    static bool IsPortable(const std::filesystem::path& programFolder);

    // $XDG_CONFIG_HOME/Tintwell, or $HOME/.config/Tintwell when
    // XDG_CONFIG_HOME is unset, empty or relative (a relative value is
    // ignored, as the XDG base directories ask).
    static std::filesystem::path UserConfigFolder();
    // $XDG_DATA_HOME/tintwell/Samples, or $HOME/.local/share/tintwell/Samples,
    // XDG_DATA_HOME read as XDG_CONFIG_HOME is.
    static std::filesystem::path UserSamplesFolder();

    // The folder of Tintwell.ini: `programFolder` for a portable program,
    // else `userConfigFolder`.
    static std::filesystem::path SettingsFolder(const std::filesystem::path& programFolder,
                                                const std::filesystem::path& userConfigFolder);

    // The installed share folder (PREFIX/share/tintwell) as seen from the
    // installed program's folder (PREFIX/lib/tintwell).
    static std::filesystem::path ShareFolder(const std::filesystem::path& programFolder);

    // The folder holding the help file and the sample images: `programFolder`
    // for a portable program, else `shareFolder` when that is a folder, else
    // `programFolder`.
    static std::filesystem::path DataFolder(const std::filesystem::path& programFolder,
                                            const std::filesystem::path& shareFolder);

    // The folder listed when the settings name none. A portable program lists
    // `dataFolder`. An installed one lists `userSamples`; on a first start
    // (`settingsFile` missing) the images `dataFolder` offers are copied there
    // first, none replacing a file of the user's. When that folder cannot be
    // made, `dataFolder`.
    static std::filesystem::path StartFolder(const std::filesystem::path& programFolder,
                                             const std::filesystem::path& dataFolder,
                                             const std::filesystem::path& settingsFile,
                                             const std::filesystem::path& userSamples);
};

}  // namespace tintwell
