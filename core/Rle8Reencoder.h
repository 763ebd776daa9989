#pragma once

#include <cstdint>
#include <vector>

#include "bitmap/AtomicFile.h"
#include "bitmap/RleSink.h"
#include "core/RecolorSpans.h"
#include "core/SelectionRect.h"

namespace tintwell {

// Compresses an RLE8 stream again while RleParser reads it, its pixels mapped
// through a 256-entry table within a selection. Each pixel keeps its encoding
// unless the recolour changes it: a pixel the stream sets stays set (mapped
// when selected), a pixel it skips (by a delta, an end of line or an early end
// of the bitmap) stays skipped. A skipped pixel is index 0, so one inside the
// selection is set, to the table's entry 0, only when that entry is not 0.
//
// Memory is a piece of a row, whatever the image's width; rows far apart cost
// only the moves between them. Without an output it counts the bytes it would
// write, quickly even for a header that claims billions of pixels, so that a
// result too large for the file is refused before anything is written.
class Rle8Reencoder : public RleSink {
  public:
    Rle8Reencoder(std::int64_t width, std::int64_t height, bool topDown, const std::uint8_t* table,
                  const SelectionRect& selection, bool outside, AtomicFile* out);

    void Repeat(std::int64_t row, std::int64_t x, std::int64_t count, std::uint8_t* value) override;
    void Literal(std::int64_t row, std::int64_t x, std::int64_t count, std::uint8_t* data) override;
    // The pixels after the last one read, and the end of the bitmap. False
    // when writing failed.
    bool Finish();
    bool Failed() const { return failed_; }
    // Bytes of the new stream so far.
    std::int64_t StreamBytes() const { return bytes_; }

  private:
    struct Position {
        std::int64_t row = 0, x = 0;
    };

    void Pixels(std::int64_t row, std::int64_t x, std::int64_t count, const std::uint8_t* data,
                bool repeat);
    void Skip(std::int64_t row, std::int64_t x);
    void SkipRows(std::int64_t to);
    void SetSkipped(std::int64_t row, std::int64_t from, std::int64_t to);
    std::uint8_t* Reserve(std::int64_t row, std::int64_t x, std::int64_t count);
    void FlushPiece();
    void MoveTo(std::int64_t row, std::int64_t x);
    void PutDeltas(std::int64_t dx, std::int64_t dy);
    void PutRuns(std::int64_t count, std::uint8_t value);
    void Put(std::initializer_list<std::uint8_t> bytes);
    void Put(const std::uint8_t* bytes, std::size_t count);
    void Drain();
    const RecolorSpans& SpansOf(std::int64_t row);
    std::int64_t BandEnd(std::int64_t row, std::int64_t limit) const;

    std::int64_t width_, height_;
    bool topDown_;
    const std::uint8_t* table_;
    SelectionRect selection_;
    bool outside_;
    AtomicFile* out_;
    Position pos_;                     // the next pixel of the old stream not yet accounted for
    Position cursor_;                  // where a reader of the new stream stands
    std::vector<std::uint8_t> piece_;  // set pixels not yet encoded, on one row
    std::int64_t pieceRow_ = 0, pieceX_ = 0, pieceLength_ = 0;
    std::vector<std::uint8_t> encoded_;
    RecolorSpans spans_;
    std::int64_t spansRow_ = -1;
    std::int64_t bytes_ = 0;
    bool failed_ = false;
};

}  // namespace tintwell
