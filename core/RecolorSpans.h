#pragma once

#include <cstdint>

#include "core/SelectionRect.h"

namespace tintwell {

// The columns of one image row that a recolour changes: at most two
// half-open runs [from, to), inside the row. This is the one selection rule,
// used by every recolour (a bitmap, a file, the preview):
// - a one-pixel selection means no selection: every pixel changes, whatever
//   the outside flag;
// - otherwise the pixels inside the rectangle change, or with the outside
//   flag every pixel that is not inside it;
// - a width or height of 0 or less holds no pixel, so then nothing changes
//   inside and everything outside;
// - the rectangle may reach beyond the image; only pixels of the image count.
struct RecolorSpans {
    int count = 0;
    std::int64_t from[2] = {0, 0};
    std::int64_t to[2] = {0, 0};

    // The runs of image row `y` (0 = top) of an image `width` pixels wide.
    static RecolorSpans ForRow(const SelectionRect& selection, bool outside, std::int64_t width,
                               std::int64_t y);
    // True when every pixel of a `width` x `height` image changes.
    static bool CoverImage(const SelectionRect& selection, bool outside, std::int64_t width,
                           std::int64_t height);

  private:
    void Add(std::int64_t a, std::int64_t b, std::int64_t width);
};

}  // namespace tintwell
