#include "workspace/FolderListing.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "core/modRecolor.h"
#include "workspace/TextCase.h"

namespace tintwell {
namespace fs = std::filesystem;

namespace {

bool EndsWithWithoutAsciiCase(std::string_view name, std::string_view lowerEnding) {
    if (name.size() < lowerEnding.size()) return false;
    const std::string_view end = name.substr(name.size() - lowerEnding.size());
    return std::equal(end.begin(), end.end(), lowerEnding.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

// The order without regard to case: upper-cased, then ASCII letters lowered,
// so that "_" and the other signs between "Z" and "a" sort before letters.
std::string SortKey(const std::string& name) {
    std::string key = UpperCase(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

}  // namespace

const std::vector<std::string_view>& FolderListing::Extensions() {
    static const std::vector<std::string_view> extensions = {".bmp", ".png"};
    return extensions;
}

bool FolderListing::IsListedName(std::string_view name) {
    if (name.empty() || name.front() == '.') return false;
    return std::any_of(Extensions().begin(), Extensions().end(), [&](std::string_view ending) {
        return EndsWithWithoutAsciiCase(name, ending);
    });
}

bool FolderListing::IsListedFile(const fs::path& path) {
    std::error_code ec;
    return IsListedName(path.filename().string()) && fs::is_regular_file(path, ec);
}

bool FolderListing::IsWalkedFolder(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    std::error_code ec;
    return !name.empty() && name.front() != '.' && name != BackupFolderFor("x").filename() &&
           !entry.is_symlink(ec) && entry.is_directory(ec);
}

void FolderListing::Sort(std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names)
        keyed.emplace_back(SortKey(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i)
        names[i] = std::move(keyed[i].second);
}

FolderListing::Contents FolderListing::Read(const fs::path& folder, bool folders) {
    Contents contents;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code typeError;
        if (IsListedName(name) && it->is_regular_file(typeError))
            contents.files.push_back(std::move(name));
        else if (folders && IsWalkedFolder(*it))
            contents.folders.push_back(std::move(name));
    }
    if (ec) {
        contents = {};
        contents.error = ec.message();
        return contents;
    }
    Sort(contents.files);
    Sort(contents.folders);
    return contents;
}

}  // namespace tintwell
