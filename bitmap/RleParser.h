#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "bitmap/RleSink.h"

namespace tintwell {

// Reads the pixel stream of an RLE8 (8 bits) or RLE4 (4 bits) compressed BMP
// piece by piece, with every escape: end of line, end of bitmap, delta and
// absolute runs with their padding. Positions only move forward, so no pixel
// is reported twice. A run or an absolute run that goes past the row's end is
// cut there. Damage stops the reading at once: a delta that goes past the row
// end or the image end, pixels after the last row, a stream that ends inside
// an operation or before its end-of-bitmap mark. Pixels the stream never sets
// are left to the sink (index 0 by rule).
class RleParser {
  public:
    // Reads `count` bytes at `offset` of the file into `into`; false on failure.
    using ReadFn = std::function<bool(std::int64_t offset, std::uint8_t* into, std::size_t count)>;
    // Takes each run of whole operations read, as the stream's own bytes (a
    // sink may have rewritten them); false stops the reading.
    using ConsumeFn = std::function<bool(const std::uint8_t* bytes, std::size_t count)>;

    // The most bytes one operation takes: an absolute run of 255 pixels, padded.
    static constexpr std::size_t kMaxOperationBytes = 258;

    RleParser(int bits, std::int64_t width, std::int64_t height)
        : bits_(bits), width_(width), height_(height) {}

    // Reads the whole operations at the start of `bytes` and returns how many
    // bytes they took. An operation cut off by the end of `bytes` is left for
    // the next call, which must start with those bytes. Reads nothing once the
    // stream has ended or is damaged.
    std::size_t Feed(std::span<std::uint8_t> bytes, RleSink& sink);
    // There are no more bytes: a stream that has not ended is damaged.
    void Finish(bool cutInsideAnOperation);
    // The whole reading loop: the stream from `start` up to `limit` through
    // Feed into `sink`, a piece at a time (memory is one piece, whatever the
    // stream's length), each run of whole operations then handed to `consume`
    // when given. False only when `read` or `consume` failed; otherwise the
    // stream has ended or is damaged.
    bool Read(const ReadFn& read, std::int64_t start, std::int64_t limit, RleSink& sink,
              const ConsumeFn& consume = {}, std::size_t piece = std::size_t{1} << 18);
    // Bytes the operations read so far took (up to the end mark, once read).
    std::int64_t StreamBytes() const { return used_; }

    bool Ended() const { return ended_; }
    bool Damaged() const { return !damage_.empty(); }
    bool Done() const { return ended_ || Damaged(); }
    // Why the stream is damaged, or empty.
    const std::string& Damage() const { return damage_; }
    // Where the stream stands: the stored row (from 0) and column.
    std::int64_t Row() const { return row_; }
    std::int64_t Column() const { return x_; }
    // Pixels the stream has set so far.
    std::int64_t PixelsSet() const { return pixelsSet_; }
    bool SetsEveryPixel() const { return pixelsSet_ == width_ * height_; }

  private:
    // Reports those of `count` pixels at the current position that fit in the
    // row; false (damage recorded) past the last row.
    bool Place(std::int64_t count, std::uint8_t* at, bool literal, RleSink& sink);
    void Move(std::int64_t dx, std::int64_t dy);
    void EndLine();
    void SetDamage(std::string text);

    int bits_;
    std::int64_t width_;
    std::int64_t height_;
    std::int64_t row_ = 0;
    std::int64_t x_ = 0;
    std::int64_t pixelsSet_ = 0;
    std::int64_t used_ = 0;
    bool ended_ = false;
    std::string damage_;
};

}  // namespace tintwell
