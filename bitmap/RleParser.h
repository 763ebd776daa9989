#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "bitmap/RleSink.h"

namespace tintwell {

// Reads the pixel stream of an RLE8 (8 bits) or RLE4 (4 bits) compressed BMP
// piece by piece, with every escape: end of line, end of bitmap, delta and
// absolute runs with their padding. Positions only move forward, so no pixel
// is reported twice. Damage stops the reading at once: a run or a delta that
// goes past the row end or the image end (the pixels that fit are reported
// first), a stream that ends inside an operation or before its end-of-bitmap
// mark. Pixels the stream never sets are left to the sink (index 0 by rule).
class RleParser {
  public:
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

    bool Ended() const { return ended_; }
    bool Damaged() const { return !damage_.empty(); }
    bool Done() const { return ended_ || Damaged(); }
    // Why the stream is damaged, or empty.
    const std::string& Damage() const { return damage_; }
    // Pixels the stream has set so far.
    std::int64_t PixelsSet() const { return pixelsSet_; }
    bool SetsEveryPixel() const { return pixelsSet_ == width_ * height_; }

  private:
    // Reports `count` pixels at the current position when they fit in the
    // row; otherwise reports those that fit, records the damage and is false.
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
    bool ended_ = false;
    std::string damage_;
};

}  // namespace tintwell
