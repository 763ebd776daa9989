#include "core/Rle8Reencoder.h"

#include <algorithm>
#include <cstring>

#include "bitmap/Rle8Encoder.h"
#include "core/MapIndices.h"

namespace tintwell {
namespace {

constexpr std::int64_t kPiece = std::int64_t{1} << 16;     // pixels held before encoding
constexpr std::size_t kWriteBytes = std::size_t{1} << 20;  // encoded bytes per write
constexpr std::int64_t kStep = 255;                        // the most one operation covers

std::int64_t Steps(std::int64_t n) {
    return (n + kStep - 1) / kStep;
}
// Delta operations that move `dx` columns and `dy` rows.
std::int64_t DeltaCount(std::int64_t dx, std::int64_t dy) {
    return std::max(Steps(dx), Steps(dy));
}

}  // namespace

Rle8Reencoder::Rle8Reencoder(std::int64_t width, std::int64_t height, bool topDown,
                             const std::uint8_t* table, const SelectionRect& selection,
                             bool outside, AtomicFile* out)
    : width_(width),
      height_(height),
      topDown_(topDown),
      table_(table),
      selection_(selection),
      outside_(outside),
      out_(out),
      piece_(static_cast<std::size_t>(kPiece)) {}

void Rle8Reencoder::Repeat(std::int64_t row, std::int64_t x, std::int64_t count,
                           std::uint8_t* value) {
    Pixels(row, x, count, value, true);
}

void Rle8Reencoder::Literal(std::int64_t row, std::int64_t x, std::int64_t count,
                            std::uint8_t* data) {
    Pixels(row, x, count, data, false);
}

bool Rle8Reencoder::Finish() {
    Skip(height_, 0);
    FlushPiece();
    Put({0, 1});
    Drain();
    return !failed_;
}

const RecolorSpans& Rle8Reencoder::SpansOf(std::int64_t row) {
    if (row != spansRow_) {
        spans_ =
            RecolorSpans::ForRow(selection_, outside_, width_, topDown_ ? row : height_ - 1 - row);
        spansRow_ = row;
    }
    return spans_;
}

// The first stored row from `row` on (at most `limit`) whose selected columns
// differ from those of `row`: rows inside the selection's rows and rows outside
// them each form one band.
std::int64_t Rle8Reencoder::BandEnd(std::int64_t row, std::int64_t limit) const {
    if (selection_.IsNoSelection() || selection_.w <= 0 || selection_.h <= 0) return limit;
    const std::int64_t top = selection_.y0, bottom = top + selection_.h;  // image rows
    std::int64_t a = topDown_ ? top : height_ - bottom;                   // stored rows
    std::int64_t b = topDown_ ? bottom : height_ - top;
    a = std::clamp<std::int64_t>(a, 0, height_);
    b = std::clamp<std::int64_t>(b, 0, height_);
    if (row < a) return std::min(a, limit);
    if (row < b) return std::min(b, limit);
    return limit;
}

void Rle8Reencoder::Pixels(std::int64_t row, std::int64_t x, std::int64_t count,
                           const std::uint8_t* data, bool repeat) {
    Skip(row, x);
    std::uint8_t* d = Reserve(row, x, count);
    if (repeat)
        std::memset(d, *data, static_cast<std::size_t>(count));
    else
        std::memcpy(d, data, static_cast<std::size_t>(count));
    MapRowPiece(d, d, x, x + count, SpansOf(row), table_);
    pos_ = {row, x + count};
}

// The old stream skipped the pixels from pos_ up to (row, x).
void Rle8Reencoder::Skip(std::int64_t row, std::int64_t x) {
    if (table_[0] == 0) {  // they stay index 0 and stay skipped
        pos_ = {row, x};
        return;
    }
    while (pos_.row < row || pos_.x < x) {
        if (pos_.x == 0 && row > pos_.row) {
            SkipRows(row);
            continue;
        }
        const bool last = pos_.row == row;
        SetSkipped(pos_.row, pos_.x, last ? x : width_);
        pos_ = last ? Position{row, x} : Position{pos_.row + 1, 0};
    }
}

// Whole skipped rows from pos_ on, one band of them: every row but the first
// costs the same, so counting needs only two.
void Rle8Reencoder::SkipRows(std::int64_t to) {
    const std::int64_t r = pos_.row, end = BandEnd(r, to);
    if (SpansOf(r).count == 0) {
        pos_ = {end, 0};
        return;
    }
    SetSkipped(r, 0, width_);
    if (end - r >= 2) {
        FlushPiece();
        const std::int64_t mark = bytes_;
        SetSkipped(r + 1, 0, width_);
        FlushPiece();
        if (out_ == nullptr) {
            bytes_ += (end - r - 2) * (bytes_ - mark);
            cursor_.row = end - 1;
        } else {
            for (std::int64_t i = r + 2; i < end && !failed_; ++i)
                SetSkipped(i, 0, width_);
        }
    }
    pos_ = {end, 0};
}

// Skipped pixels [from, to) of `row`: the selected ones are set to entry 0.
void Rle8Reencoder::SetSkipped(std::int64_t row, std::int64_t from, std::int64_t to) {
    const RecolorSpans spans = SpansOf(row);
    for (int s = 0; s < spans.count; ++s) {
        const std::int64_t a = std::max(spans.from[s], from), b = std::min(spans.to[s], to);
        if (a >= b) continue;
        if (b - a <= kPiece) {
            std::memset(Reserve(row, a, b - a), table_[0], static_cast<std::size_t>(b - a));
            continue;
        }
        FlushPiece();
        MoveTo(row, a);
        PutRuns(b - a, table_[0]);
        cursor_ = {row, b};
    }
}

// Room in the piece for `count` pixels from (row, x), the piece encoded first
// when they do not continue it.
std::uint8_t* Rle8Reencoder::Reserve(std::int64_t row, std::int64_t x, std::int64_t count) {
    if (pieceLength_ > 0 &&
        (pieceRow_ != row || pieceX_ + pieceLength_ != x || pieceLength_ + count > kPiece))
        FlushPiece();
    if (pieceLength_ == 0) {
        pieceRow_ = row;
        pieceX_ = x;
    }
    std::uint8_t* d = piece_.data() + pieceLength_;
    pieceLength_ += count;
    return d;
}

void Rle8Reencoder::FlushPiece() {
    if (pieceLength_ == 0) return;
    MoveTo(pieceRow_, pieceX_);
    std::vector<std::uint8_t> runs;
    Rle8Encoder::EncodePixels(piece_.data(), pieceLength_, runs);
    Put(runs.data(), runs.size());
    cursor_ = {pieceRow_, pieceX_ + pieceLength_};
    pieceLength_ = 0;
}

// Moves the reader of the new stream forward to (row, x): by deltas, or by an
// end of line and deltas when that is shorter or the only way: with deltas of
// 4 bytes and an end of line of 2, that is when it saves a delta. An end of
// line is never put at a row's first column, where some readers ignore it.
void Rle8Reencoder::MoveTo(std::int64_t row, std::int64_t x) {
    const std::int64_t dy = row - cursor_.row;
    const bool direct = x >= cursor_.x;
    const bool viaEndOfLine = dy > 0 && cursor_.x > 0 &&
                              (!direct || DeltaCount(x, dy - 1) < DeltaCount(x - cursor_.x, dy));
    if (viaEndOfLine) {
        Put({0, 0});
        PutDeltas(x, dy - 1);
    } else {
        PutDeltas(x - cursor_.x, dy);
    }
    cursor_ = {row, x};
}

void Rle8Reencoder::PutDeltas(std::int64_t dx, std::int64_t dy) {
    if (out_ == nullptr) {
        bytes_ += 4 * DeltaCount(dx, dy);
        return;
    }
    while ((dx > 0 || dy > 0) && !failed_) {
        const std::int64_t a = std::min(dx, kStep), b = std::min(dy, kStep);
        Put({0, 2, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)});
        dx -= a;
        dy -= b;
    }
}

void Rle8Reencoder::PutRuns(std::int64_t count, std::uint8_t value) {
    if (out_ == nullptr) {
        bytes_ += 2 * Steps(count);
        return;
    }
    for (; count > 0 && !failed_; count -= kStep)
        Put({static_cast<std::uint8_t>(std::min(count, kStep)), value});
}

void Rle8Reencoder::Put(std::initializer_list<std::uint8_t> bytes) {
    Put(bytes.begin(), bytes.size());
}

void Rle8Reencoder::Put(const std::uint8_t* bytes, std::size_t count) {
    bytes_ += static_cast<std::int64_t>(count);
    if (out_ == nullptr) return;
    encoded_.insert(encoded_.end(), bytes, bytes + count);
    if (encoded_.size() >= kWriteBytes) Drain();
}

void Rle8Reencoder::Drain() {
    if (out_ != nullptr && !failed_ && !out_->Write(encoded_.data(), encoded_.size()))
        failed_ = true;
    encoded_.clear();
}

}  // namespace tintwell
