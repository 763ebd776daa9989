#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "core/ColorMap.h"
#include "core/SelectionRect.h"

namespace tintwell {

// Largest picture the windows build, in bytes of image data: a bigger image is
// refused with a message instead of exhausting memory.
inline constexpr std::int64_t kMaxPictureBytes = std::int64_t{256} << 20;

// The display conversion of a bitmap: a QImage with the bitmap's colours exactly,
// Format_Indexed8 with the colour table (256 entries, black beyond the file's)
// for 1-, 4- and 8-bit images, Format_RGB32 for 24- and 32-bit ones. One pass
// over the pixels; the image is made exactly as large as the bitmap.
//
// `picture` is reused when it already has the right size and format and is not
// shared, so a re-render does not allocate. False, with `error` set and
// `picture` null, when the bitmap cannot be shown: too large, pixel bytes that
// do not cover the image, an unsupported bit count, or no memory. An image
// of no pixels gives a null picture and true.
bool CreateStdPicture(const clsBitmap& bitmap, QImage& picture, std::string& error);

// What the preview shows on the right: the bitmap copied, recoloured through
// `map` within `selection` (RecolorBitmap's rules) and converted, as one pass
// writing straight into the picture's buffer for 8-bit images. The bitmap
// itself is not changed.
bool CreateRecoloredPicture(const clsBitmap& bitmap, const ColorMap& map,
                            const SelectionRect& selection, bool outside, QImage& picture,
                            std::string& error);

}  // namespace tintwell
