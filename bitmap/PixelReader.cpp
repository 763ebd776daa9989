#include "bitmap/PixelReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "bitmap/clsBitmap.h"

namespace tintwell {
namespace {

constexpr std::size_t kPiece = std::size_t{1} << 14;  // stream bytes read at a time
constexpr std::size_t kMaxMarks = 4096;

// Keeps the pixels of one stored row's columns [x, x + count).
class PieceSink : public RleSink {
  public:
    PieceSink(std::int64_t row, std::int64_t x, std::int64_t count, std::uint8_t* into)
        : row_(row), x_(x), end_(x + count), into_(into) {}
    void Repeat(std::int64_t row, std::int64_t x, std::int64_t n, std::uint8_t* value) override {
        const std::int64_t a = std::max(x, x_), b = std::min(x + n, end_);
        if (row == row_ && a < b) std::memset(into_ + (a - x_), *value, std::size_t(b - a));
    }
    void Literal(std::int64_t row, std::int64_t x, std::int64_t n, std::uint8_t* data) override {
        const std::int64_t a = std::max(x, x_), b = std::min(x + n, end_);
        if (row == row_ && a < b) std::memcpy(into_ + (a - x_), data + (a - x), std::size_t(b - a));
    }

  private:
    std::int64_t row_, x_, end_;
    std::uint8_t* into_;
};

class NoSink : public RleSink {
  public:
    void Repeat(std::int64_t, std::int64_t, std::int64_t, std::uint8_t*) override {}
    void Literal(std::int64_t, std::int64_t, std::int64_t, std::uint8_t*) override {}
};

bool Before(const RleParser& p, std::int64_t row, std::int64_t x) {
    return p.Row() < row || (p.Row() == row && p.Column() <= x);
}

}  // namespace

bool PixelReader::ReadAt(std::int64_t offset, std::uint8_t* into, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::pread(fd_, into, count, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n == 0 ? "The file became shorter while it was read."
                            : std::string("Could not read the file: ") + std::strerror(errno);
            return false;
        }
        into += n;
        offset += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool PixelReader::ReadRow(std::int64_t y, std::int64_t x, std::int64_t count, std::uint8_t* into) {
    std::memset(into, 0, static_cast<std::size_t>(count));
    const std::int64_t row = bitmap_.IsTopDown() ? y : bitmap_.Height() - 1 - y;
    if (bitmap_.IsCompressed()) return Decode(row, x, count, into);
    const std::int64_t at = bitmap_.FileHeader().bfOffBits + bitmap_.RowOffset(y) + x;
    const std::int64_t held = std::clamp<std::int64_t>(bitmap_.SourceSize() - at, 0, count);
    return ReadAt(at, into, static_cast<std::size_t>(held));
}

// Reads the stream through once, keeping the parser's state every few pieces:
// at most kMaxMarks of them, thinned out evenly as the stream goes on.
bool PixelReader::NoteMarks() {
    RleParser parser(8, bitmap_.Width(), bitmap_.Height());
    marks_.push_back(parser);
    std::size_t every = 1, seen = 0;
    NoSink none;
    const auto note = [&](const std::uint8_t*, std::size_t) {
        if (++seen % every != 0) return true;
        if (marks_.size() == kMaxMarks) {
            for (std::size_t i = 0; 2 * i < marks_.size(); ++i)
                marks_[i] = marks_[2 * i];
            marks_.erase(marks_.begin() + kMaxMarks / 2, marks_.end());
            every *= 2;
        }
        marks_.push_back(parser);
        return true;
    };
    const auto read = [this](std::int64_t at, std::uint8_t* into, std::size_t n) {
        return ReadAt(at, into, n);
    };
    marked_ =
        parser.Read(read, bitmap_.FileHeader().bfOffBits, bitmap_.SourceSize(), none, note, kPiece);
    return marked_;
}

// Columns [x, x + count) of stored row `row`, decoded from the last mark
// before them until the stream passes them.
bool PixelReader::Decode(std::int64_t row, std::int64_t x, std::int64_t count, std::uint8_t* into) {
    if (!marked_ && !NoteMarks()) return false;
    const auto next = std::partition_point(marks_.begin(), marks_.end(),
                                           [&](const RleParser& p) { return Before(p, row, x); });
    RleParser parser = *std::prev(next);
    PieceSink sink(row, x, count, into);
    bool passed = false;
    const auto stop = [&](const std::uint8_t*, std::size_t) {
        passed = !Before(parser, row, x + count);
        return !passed;
    };
    const auto read = [this](std::int64_t at, std::uint8_t* into, std::size_t n) {
        return ReadAt(at, into, n);
    };
    const std::int64_t from = bitmap_.FileHeader().bfOffBits + parser.StreamBytes();
    return parser.Read(read, from, bitmap_.SourceSize(), sink, stop, kPiece) || passed;
}

}  // namespace tintwell
