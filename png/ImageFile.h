#pragma once

#include <filesystem>
#include <string>

#include "bitmap/clsBitmap.h"
#include "png/PngFile.h"

namespace tintwell {

// What LoadImageFile found besides the bitmap.
struct ImageLoad {
    bool png = false;  // the file is a PNG file
    PngFile file;      // its chunk structure, when it is one
    std::string why;   // why a PNG file was refused, as a clause
};

// True when the file at `path` starts with the PNG signature.
bool IsPngFile(const std::filesystem::path& path);

// Loads an image file into `bitmap`: a BMP file as clsBitmap loads it; an
// indexed PNG file as a top-down 8-bit bitmap whose colour table is its PLTE
// (black behind it) and whose pixels are its indices, decoded and checked
// whole for BitmapParts::Whole. A PNG file that is refused leaves `bitmap`
// empty (bit count 0) and says why in `load`. File system errors throw as
// clsBitmap's do.
bool LoadImageFile(const std::filesystem::path& path, clsBitmap& bitmap,
                   BitmapParts parts = BitmapParts::Whole, ImageLoad* load = nullptr);

}  // namespace tintwell
