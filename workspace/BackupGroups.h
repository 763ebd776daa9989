#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

namespace tintwell {

// Splits a list of files into groups that may be recoloured at the same time.
// Two files land in one group when recolouring them at once could interfere:
// they are the same file (the same path twice, links, hard links), or their
// backup copies could claim the same name in one backup folder, which happens
// when they share a folder and the name up to the last "." (a.bmp and a.BMP
// both number their copies a-001.bmp, ...) or when one file's own name is a
// numbered backup name of the other (a-001.bmp beside a.bmp).
// Groups keep the files in list order and are ordered by their first file.
std::vector<std::vector<std::size_t>> GroupFilesThatMayClash(
    const std::vector<std::filesystem::path>& files);

}  // namespace tintwell
