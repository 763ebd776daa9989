#pragma once

#include <cstdint>
#include <vector>

#include "bitmap/clsBitmap.h"

namespace tintwell {

// How many pixels of `bitmap` hold each palette index: 256 counts for a
// palette image whose pixels are loaded, none otherwise. Rows the pixel bytes
// do not reach count nothing.
std::vector<std::int64_t> CountIndices(const clsBitmap& bitmap);

}  // namespace tintwell
