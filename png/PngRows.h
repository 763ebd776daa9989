#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "png/PngFile.h"

namespace tintwell {

// One pass of a PNG image: its pixels lie at columns x0, x0 + dx, ... and
// rows y0, y0 + dy, ... of the image. A plain image has one pass of every
// pixel; an Adam7 image seven, of which those without pixels are left out.
struct PngPass {
    int x0 = 0, y0 = 0, dx = 1, dy = 1;
    std::int64_t width = 0;  // pixels in each of its rows
    std::int64_t rows = 0;
};

std::vector<PngPass> PngPassesOf(const PngHeader& header);

// The row filters, for one byte per pixel (every indexed depth): Unfilter
// undoes filter `type` (0..4) on `row` in place; Filter writes `row` filtered
// into `out`. `prev` is the unfiltered row above, zeros for a pass's first.
void PngUnfilter(int type, std::uint8_t* row, const std::uint8_t* prev, std::size_t bytes);
void PngFilter(int type, const std::uint8_t* row, const std::uint8_t* prev, std::uint8_t* out,
               std::size_t bytes);

// Pixels of `depth` bits (1, 2, 4 or 8), first pixel in the high bits, to
// one byte per pixel and back.
void PngUnpack(const std::uint8_t* packed, int depth, std::int64_t count, std::uint8_t* out);
void PngPack(const std::uint8_t* indices, int depth, std::int64_t count, std::uint8_t* packed);

}  // namespace tintwell
