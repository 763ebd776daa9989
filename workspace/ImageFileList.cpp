#include "workspace/ImageFileList.h"

#include <system_error>

#include "core/Quoted.h"
#include "workspace/FolderListing.h"

namespace tintwell {
namespace fs = std::filesystem;

void ImageFileList::Add(const std::string& argument) {
    std::error_code ec;
    const fs::path path(argument);
    if (!argument.empty() && fs::is_directory(path, ec))
        AddFolder(path);
    else
        files_.push_back(path);
}

void ImageFileList::AddFolder(const fs::path& folder) {
    const FolderListing::Contents contents = FolderListing::Read(folder, recursive_);
    if (!contents.error.empty()) {
        errors_.push_back(Quoted(folder) + " could not be read: " + contents.error);
        return;
    }
    for (const std::string& name : contents.files)
        files_.push_back(folder / name);
    for (const std::string& sub : contents.folders)
        AddFolder(folder / sub);
}

}  // namespace tintwell
