#pragma once

#include <cstdint>

namespace tintwell {

// A rectangle of image pixels: columns x0 .. x0 + w - 1 and rows
// y0 .. y0 + h - 1, both ends inclusive. Exactly one pixel (w = 1, h = 1)
// stands for "no selection". It may reach beyond the image; users clip it.
struct SelectionRect {
    std::int32_t x0 = 0;
    std::int32_t y0 = 0;
    std::int32_t w = 1;
    std::int32_t h = 1;

    bool IsNoSelection() const { return w == 1 && h == 1; }
    bool operator==(const SelectionRect&) const = default;
};

}  // namespace tintwell
