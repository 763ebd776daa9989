#include "cli/BmpFileList.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace tintwell::cli {
namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool HasBmpExtension(const std::string& name) {
    return name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".bmp";
}

// Without regard to case first, then exactly, so the order never depends on
// the order the folder hands out its entries.
bool NameBefore(const fs::path& a, const fs::path& b) {
    const std::string na = a.filename().string();
    const std::string nb = b.filename().string();
    const std::string la = Lower(na);
    const std::string lb = Lower(nb);
    return la != lb ? la < lb : na < nb;
}

}  // namespace

void BmpFileList::Add(const std::string& argument) {
    std::error_code ec;
    const fs::path path(argument);
    if (!argument.empty() && fs::is_directory(path, ec))
        AddFolder(path);
    else
        files_.push_back(path);
}

void BmpFileList::AddFolder(const fs::path& folder) {
    std::vector<fs::path> files;
    std::vector<fs::path> folders;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path entry = it->path();
        const std::string name = entry.filename().string();
        std::error_code typeError;
        if (HasBmpExtension(name) && fs::is_regular_file(entry, typeError)) {
            files.push_back(entry);
        } else if (recursive_ && name != "Tintwell Backup" && !fs::is_symlink(entry, typeError) &&
                   fs::is_directory(entry, typeError)) {
            folders.push_back(entry);
        }
    }
    if (ec) {
        errors_.push_back("\"" + folder.string() + "\" could not be read: " + ec.message());
        return;
    }
    std::sort(files.begin(), files.end(), NameBefore);
    std::sort(folders.begin(), folders.end(), NameBefore);
    files_.insert(files_.end(), files.begin(), files.end());
    for (const fs::path& sub : folders)
        AddFolder(sub);
}

}  // namespace tintwell::cli
