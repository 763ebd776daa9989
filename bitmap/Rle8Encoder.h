#pragma once

#include <cstdint>
#include <vector>

namespace tintwell {

// Compresses 8-bit rows into an RLE8 stream: repeats of two or more pixels as
// runs, stretches of three or more differing pixels as absolute runs (padded
// to a word), single pixels as runs of one. Each row ends with an end-of-line
// mark, the last one with the end-of-bitmap mark instead.
class Rle8Encoder {
  public:
    // Appends the stream of one row of `width` indices to `out`.
    static void EncodeRow(const std::uint8_t* row, std::int64_t width, bool lastRow,
                          std::vector<std::uint8_t>& out);
    // Appends `count` indices from `pixels` as runs and absolute runs, with no
    // end mark: a piece of a row.
    static void EncodePixels(const std::uint8_t* pixels, std::int64_t count,
                             std::vector<std::uint8_t>& out);

  private:
    // Length of the stretch from `i` that has no three equal pixels in a row.
    static std::int64_t LiteralLength(const std::uint8_t* row, std::int64_t i, std::int64_t width);
};

}  // namespace tintwell
