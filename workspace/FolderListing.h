#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tintwell {

// Which files a folder offers, for the window's file list, opening and dropping
// files, the command line's folder arguments and the search for sample images:
// entries whose name ends in ".bmp" or ".png" in any letter case and does not
// start with "." (hidden, ".bmp" itself included), that are ordinary files or symbolic
// links to one. They are ordered by name without regard to letter case
// (UpperCase), names differing only in case by their bytes, so the order never
// depends on the order the folder hands out its entries.
class FolderListing {
  public:
    // The image name endings, in lower case.
    static const std::vector<std::string_view>& Extensions();

    // `name` (without folder) is one a listing offers, whatever it names.
    static bool IsListedName(std::string_view name);
    // `path` names an entry a listing of its folder offers.
    static bool IsListedFile(const std::filesystem::path& path);
    // A folder a recursive walk enters: not hidden, not a backup folder, not a link.
    static bool IsWalkedFolder(const std::filesystem::directory_entry& entry);

    // Sorts names (without folder) into listing order.
    static void Sort(std::vector<std::string>& names);

    struct Contents {
        std::vector<std::string> files;    // listed names, in order
        std::vector<std::string> folders;  // with `folders` set: walked subfolders, in order
        std::string error;                 // why the folder could not be read, else empty
    };
    static Contents Read(const std::filesystem::path& folder, bool folders = false);
    // The listed names of `folder`; none when it cannot be read.
    static std::vector<std::string> Names(const std::filesystem::path& folder) {
        return Read(folder).files;
    }
};

}  // namespace tintwell
