#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tintwell {

// Turns the paths of a command line into the list of files to work on. A
// folder stands for the files its listing offers (FolderListing), in listing
// order; with `recursive` its walked subfolders follow, depth first in the
// same order. Anything else is taken as a file path as it is, so that a
// missing file is reported where it is worked on.
class ImageFileList {
  public:
    explicit ImageFileList(bool recursive) : recursive_(recursive) {}

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

}  // namespace tintwell
