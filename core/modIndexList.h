#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "bitmap/clsBitmap.h"
#include "core/IMessageBox.h"

namespace tintwell {

// What writing a colour index list came to.
enum class IndexListResult {
    Written,      // the file holds the table
    NotEightBit,  // not an 8-bit image: nothing written, an existing file untouched
    Failed,       // the file could not be written; an existing file is left whole
};

// The table of an 8-bit bitmap's palette indices: one line per row from the
// top, each pixel right-aligned in three characters followed by a comma, every
// line ending in CR LF. Throws std::out_of_range when the pixel bytes do not
// cover the image.
std::string ColorIndexListText(const clsBitmap& bitmap);

// Hands that table to `write` a block of about 1 MiB at a time, after
// checking that the image can give it: memory stays bounded whatever the
// image's size. A bitmap loaded without its pixels (BitmapParts::Layout) has
// them read from its file a piece of a row at a time. False when the image
// cannot give the table (`error` says why) or when `write` returns false
// (`error` left empty).
bool WriteColorIndexRows(const clsBitmap& bitmap,
                         const std::function<bool(const std::string&)>& write, std::string& error);

// Writes that table to `path` atomically, a block of rows per write. On Failed
// `error` says why.
IndexListResult WriteColorIndexList(const clsBitmap& bitmap, const std::filesystem::path& path,
                                    std::string& error);

// The suggested name of the list for an image file name (without folder): the
// part before the first "." followed by ".txt".
std::string SuggestedIndexListName(const std::string& imageName);

// The message that reports a failed write.
MessageRequest IndexListFailedMessage(const std::string& error);

}  // namespace tintwell
