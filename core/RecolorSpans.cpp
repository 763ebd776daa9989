#include "core/RecolorSpans.h"

#include <algorithm>

namespace tintwell {

void RecolorSpans::Add(std::int64_t a, std::int64_t b, std::int64_t width) {
    a = std::clamp<std::int64_t>(a, 0, width);
    b = std::clamp<std::int64_t>(b, 0, width);
    if (a >= b) return;
    from[count] = a;
    to[count] = b;
    ++count;
}

RecolorSpans RecolorSpans::ForRow(const SelectionRect& selection, bool outside, std::int64_t width,
                                  std::int64_t y) {
    RecolorSpans spans;
    if (selection.IsNoSelection()) {
        spans.Add(0, width, width);
        return spans;
    }
    const std::int64_t left = selection.x0;
    const std::int64_t right = left + selection.w;  // one past the last column
    const std::int64_t top = selection.y0;
    const bool holdsPixels = selection.w > 0 && selection.h > 0;
    const bool rowInside = holdsPixels && y >= top && y < top + selection.h;
    if (!outside) {
        if (rowInside) spans.Add(left, right, width);
    } else if (!rowInside) {
        spans.Add(0, width, width);
    } else {
        spans.Add(0, left, width);
        spans.Add(right, width, width);
    }
    return spans;
}

bool RecolorSpans::CoverImage(const SelectionRect& selection, bool outside, std::int64_t width,
                              std::int64_t height) {
    if (selection.IsNoSelection() || width <= 0 || height <= 0) return true;
    const std::int64_t left = selection.x0, right = left + selection.w;
    const std::int64_t top = selection.y0, bottom = top + selection.h;
    if (!outside) return left <= 0 && top <= 0 && right >= width && bottom >= height;
    const bool holdsPixels = selection.w > 0 && selection.h > 0;
    return !holdsPixels || right <= 0 || bottom <= 0 || left >= width || top >= height;
}

}  // namespace tintwell
