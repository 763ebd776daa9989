#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tintwell::cli {

// Turns the paths of a command line into the list of files to work on.
// A folder stands for its ordinary files whose names end in ".bmp" without
// regard to case, sorted by name without regard to case (as the window lists
// them); with `recursive` its subfolders follow, depth first in the same
// order, except backup folders ("Tintwell Backup") and links to folders.
// Anything else is taken as a file path as it is, so that a missing file is
// reported where it is recoloured.
class BmpFileList {
  public:
    explicit BmpFileList(bool recursive) : recursive_(recursive) {}

    void Add(const std::string& argument);

    const std::vector<std::filesystem::path>& Files() const { return files_; }
    // One line per folder that could not be read, naming it.
    const std::vector<std::string>& Errors() const { return errors_; }

  private:
    void AddFolder(const std::filesystem::path& folder);

    bool recursive_;
    std::vector<std::filesystem::path> files_;
    std::vector<std::string> errors_;
};

}  // namespace tintwell::cli
