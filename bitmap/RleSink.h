#pragma once

#include <cstdint>

namespace tintwell {

// Receives the pixels of an RLE4 or RLE8 stream as RleParser reads them, in
// stream order. Rows count in the order the file stores them (the stream's
// first row is 0); every call lies wholly inside the image. The pointers point
// into the stream's own bytes, so a sink may also rewrite them in place.
class RleSink {
  public:
    virtual ~RleSink() = default;
    // `count` pixels from column `x` of `row` take the value byte (RLE8), or
    // its high and its low nibble in turn, starting with the high one (RLE4).
    virtual void Repeat(std::int64_t row, std::int64_t x, std::int64_t count,
                        std::uint8_t* value) = 0;
    // `count` pixels from column `x` of `row` are stored one per byte (RLE8),
    // or two per byte, high nibble first (RLE4), from `data` on.
    virtual void Literal(std::int64_t row, std::int64_t x, std::int64_t count,
                         std::uint8_t* data) = 0;
    // RLE8: `count` index bytes from `data` that the stream holds for pixels
    // past the row's end, which no other call covered (a run's value byte
    // when none of its pixels fit). They set no pixel.
    virtual void Cut(std::uint8_t* data, std::int64_t count) {
        (void)data;
        (void)count;
    }
};

}  // namespace tintwell
