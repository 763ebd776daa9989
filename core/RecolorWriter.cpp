#include "core/RecolorWriter.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "bitmap/Rle8Encoder.h"
#include "core/RecolorSpans.h"

namespace tintwell {
namespace {

// Bytes read and written at a time.
constexpr std::size_t kChunk = std::size_t{1} << 20;

// Maps the index bytes of an RLE8 stream in place.
class MapSink : public RleSink {
  public:
    explicit MapSink(const std::uint8_t* table) : table_(table) {}
    void Repeat(std::int64_t, std::int64_t, std::int64_t, std::uint8_t* value) override {
        *value = table_[*value];
    }
    void Literal(std::int64_t, std::int64_t, std::int64_t count, std::uint8_t* data) override {
        for (std::int64_t i = 0; i < count; ++i)
            data[i] = table_[data[i]];
    }

  private:
    const std::uint8_t* table_;
};

// Decodes an RLE8 stream one row at a time, recolours each finished row within
// the selection and compresses it again into `out`.
class ReencodeSink : public RleSink {
  public:
    ReencodeSink(const clsBitmap& bitmap, const ColorMap& map, const SelectionRect& selection,
                 bool outside, AtomicFile& out)
        : width_(bitmap.Width()),
          height_(bitmap.Height()),
          topDown_(bitmap.IsTopDown()),
          table_(map.data()),
          selection_(selection),
          outside_(outside),
          out_(out),
          row_(static_cast<std::size_t>(std::max<std::int64_t>(width_, 1)), 0) {}

    void Repeat(std::int64_t row, std::int64_t x, std::int64_t count,
                std::uint8_t* value) override {
        if (!MoveTo(row)) return;
        std::memset(row_.data() + x, *value, static_cast<std::size_t>(count));
    }
    void Literal(std::int64_t row, std::int64_t x, std::int64_t count,
                 std::uint8_t* data) override {
        if (!MoveTo(row)) return;
        std::memcpy(row_.data() + x, data, static_cast<std::size_t>(count));
    }
    // Writes the rows the stream did not reach and the end of the stream.
    bool Finish() {
        MoveTo(height_);
        if (height_ == 0) encoded_ = {0, 1};
        return Flush();
    }
    bool Failed() const { return failed_; }
    std::int64_t StreamBytes() const { return written_; }

  private:
    // Finishes every row before `row`.
    bool MoveTo(std::int64_t row) {
        while (!failed_ && current_ < row)
            FinishRow();
        return !failed_;
    }
    void FinishRow() {
        const std::int64_t y = topDown_ ? current_ : height_ - 1 - current_;
        const RecolorSpans spans = RecolorSpans::ForRow(selection_, outside_, width_, y);
        for (int s = 0; s < spans.count; ++s)
            for (std::int64_t x = spans.from[s]; x < spans.to[s]; ++x)
                row_[static_cast<std::size_t>(x)] = table_[row_[static_cast<std::size_t>(x)]];
        Rle8Encoder::EncodeRow(row_.data(), width_, current_ + 1 == height_, encoded_);
        std::fill(row_.begin(), row_.end(), 0);
        ++current_;
        if (encoded_.size() >= kChunk) Flush();
    }
    bool Flush() {
        if (!failed_ && !out_.Write(encoded_.data(), encoded_.size())) failed_ = true;
        written_ += static_cast<std::int64_t>(encoded_.size());
        encoded_.clear();
        return !failed_;
    }

    std::int64_t width_, height_;
    bool topDown_;
    const std::uint8_t* table_;
    SelectionRect selection_;
    bool outside_;
    AtomicFile& out_;
    std::vector<std::uint8_t> row_;
    std::vector<std::uint8_t> encoded_;
    std::int64_t current_ = 0;
    std::int64_t written_ = 0;
    bool failed_ = false;
};

}  // namespace

bool RecolorWriter::Failed(const std::string& error) {
    error_ = error;
    return false;
}

bool RecolorWriter::ReadAt(std::int64_t offset, std::uint8_t* into, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::pread(fd_, into, count, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            return Failed(n == 0 ? "The file became shorter while it was read."
                                 : std::string("Could not read the file: ") + std::strerror(errno));
        into += n;
        offset += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool RecolorWriter::Write(const ColorMap& map, const SelectionRect& selection, bool outside,
                          AtomicFile& out) {
    damaged_ = false;
    const std::int64_t start = bitmap_.FileHeader().bfOffBits;
    if (!bitmap_.IsCompressed()) return WriteUncompressed(map, selection, outside, out);
    if (!out.CopyRange(fd_, 0, static_cast<std::uint64_t>(start))) return Failed(out.Error());
    // The identity changes nothing, whatever the selection: the stream is copied.
    if (map.IsIdentity() ||
        RecolorSpans::CoverImage(selection, outside, bitmap_.Width(), bitmap_.Height())) {
        bool reencode = false;
        if (EditStream(map, out, reencode)) return true;
        if (!reencode) return false;
        // Pixels the stream leaves unset are index 0, and the map changes it.
        if (!out.Restart() || !out.CopyRange(fd_, 0, static_cast<std::uint64_t>(start)))
            return Failed(out.Error());
    }
    return Reencode(map, selection, outside, out);
}

bool RecolorWriter::CopyTail(std::int64_t from, AtomicFile& out) {
    const std::int64_t size = bitmap_.SourceSize();
    if (from < size && !out.CopyRange(fd_, static_cast<std::uint64_t>(from),
                                      static_cast<std::uint64_t>(size - from)))
        return Failed(out.Error());
    return true;
}

// --- uncompressed pixels ---------------------------------------------------------

bool RecolorWriter::WriteUncompressed(const ColorMap& map, const SelectionRect& selection,
                                      bool outside, AtomicFile& out) {
    const std::int64_t start = bitmap_.FileHeader().bfOffBits;
    const std::int64_t bytes = bitmap_.PixelDataBytes();
    const bool identity = map.IsIdentity();
    // A colour table that runs into the pixels gets a fresh layout of its own,
    // with one 0 byte for an image of none, as a fresh save writes.
    const bool keep = bitmap_.KeepsFileLayout();
    const std::vector<std::uint8_t> head =
        keep ? std::vector<std::uint8_t>{}
             : bitmap_.FreshHeadBytes(static_cast<std::uint64_t>(std::max<std::int64_t>(bytes, 1)));
    if (keep ? !out.CopyRange(fd_, 0, static_cast<std::uint64_t>(start))
             : !out.Write(head.data(), head.size()))
        return Failed(out.Error());
    for (std::int64_t a = 0; a < bytes; a += static_cast<std::int64_t>(kChunk)) {
        const std::int64_t b = std::min(a + static_cast<std::int64_t>(kChunk), bytes);
        const auto n = static_cast<std::size_t>(b - a);
        if (identity || !ChunkTouched(a, b, selection, outside)) {
            if (!out.CopyRange(fd_, static_cast<std::uint64_t>(start + a), n))
                return Failed(out.Error());
            continue;
        }
        if (buffer_.size() < n) buffer_.resize(kChunk);
        if (!ReadAt(start + a, buffer_.data(), n)) return false;
        MapChunk(buffer_.data(), a, b, map.data(), selection, outside);
        if (!out.Write(buffer_.data(), n)) return Failed(out.Error());
    }
    if (keep) return CopyTail(start + bytes, out);
    const std::uint8_t none = 0;
    return bytes > 0 || out.Write(&none, 1) || Failed(out.Error());
}

// True when a pixel stored in the bytes [a, b) of the pixel data changes.
bool RecolorWriter::ChunkTouched(std::int64_t a, std::int64_t b, const SelectionRect& selection,
                                 bool outside) const {
    const std::int64_t stride = bitmap_.RowStride(), height = bitmap_.Height();
    for (std::int64_t r = a / stride; r < height && r * stride < b; ++r) {
        const std::int64_t y = bitmap_.IsTopDown() ? r : height - 1 - r;
        const RecolorSpans spans = RecolorSpans::ForRow(selection, outside, bitmap_.Width(), y);
        for (int s = 0; s < spans.count; ++s)
            if (r * stride + spans.to[s] > a && r * stride + spans.from[s] < b) return true;
    }
    return false;
}

// Maps the selected pixels among the bytes [a, b) of the pixel data, held in `bytes`.
void RecolorWriter::MapChunk(std::uint8_t* bytes, std::int64_t a, std::int64_t b,
                             const std::uint8_t* table, const SelectionRect& selection,
                             bool outside) const {
    const std::int64_t stride = bitmap_.RowStride(), height = bitmap_.Height();
    for (std::int64_t r = a / stride; r < height && r * stride < b; ++r) {
        const std::int64_t y = bitmap_.IsTopDown() ? r : height - 1 - r;
        const RecolorSpans spans = RecolorSpans::ForRow(selection, outside, bitmap_.Width(), y);
        for (int s = 0; s < spans.count; ++s) {
            const std::int64_t from = std::max(r * stride + spans.from[s], a);
            const std::int64_t to = std::min(r * stride + spans.to[s], b);
            for (std::int64_t i = from; i < to; ++i)
                bytes[i - a] = table[bytes[i - a]];
        }
    }
}

// --- RLE8 streams ---------------------------------------------------------------

// Reads the stream from bfOffBits in pieces through `parser`; hands each run
// of whole operations read to `consume`. Sets the stream's length.
bool RecolorWriter::ReadStream(RleParser& parser, RleSink& sink, const Consumer& consume,
                               std::int64_t& streamBytes) {
    const std::int64_t start = bitmap_.FileHeader().bfOffBits;
    const std::int64_t limit =
        std::min<std::int64_t>(bitmap_.FileHeader().bfSize, bitmap_.SourceSize());
    buffer_.resize(kChunk + RleParser::kMaxOperationBytes);
    std::int64_t at = start;
    std::size_t carry = 0;
    streamBytes = 0;
    while (!parser.Done()) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer_.size() - carry), limit - at));
        if (n == 0) {
            parser.Finish(carry > 0);
            break;
        }
        if (!ReadAt(at, buffer_.data() + carry, n)) return false;
        at += static_cast<std::int64_t>(n);
        const std::size_t total = carry + n;
        const std::size_t fed = parser.Feed({buffer_.data(), total}, sink);
        if (!consume(buffer_.data(), fed)) return false;
        streamBytes += static_cast<std::int64_t>(fed);
        carry = total - fed;
        std::memmove(buffer_.data(), buffer_.data() + fed, carry);
    }
    if (!parser.Damaged()) return true;
    damaged_ = true;
    return Failed(parser.Damage());
}

// The stream itself, its index bytes mapped. Sets `reencode` instead when
// the stream leaves pixels unset (index 0) and the map changes index 0.
bool RecolorWriter::EditStream(const ColorMap& map, AtomicFile& out, bool& reencode) {
    RleParser parser(8, bitmap_.Width(), bitmap_.Height());
    MapSink sink(map.data());
    std::int64_t streamBytes = 0;
    const bool read = ReadStream(
        parser, sink,
        [&](const std::uint8_t* p, std::size_t n) {
            return out.Write(p, n) || Failed(out.Error());
        },
        streamBytes);
    if (!read) return false;
    reencode = !parser.SetsEveryPixel() && map[0] != 0;
    return !reencode && CopyTail(bitmap_.FileHeader().bfOffBits + streamBytes, out);
}

bool RecolorWriter::Reencode(const ColorMap& map, const SelectionRect& selection, bool outside,
                             AtomicFile& out) {
    RleParser parser(8, bitmap_.Width(), bitmap_.Height());
    ReencodeSink sink(bitmap_, map, selection, outside, out);
    std::int64_t oldBytes = 0;
    const bool read = ReadStream(
        parser, sink,
        [&](const std::uint8_t*, std::size_t) { return !sink.Failed() || Failed(out.Error()); },
        oldBytes);
    if (!read) return false;
    if (!sink.Finish()) return Failed(out.Error());
    if (!CopyTail(bitmap_.FileHeader().bfOffBits + oldBytes, out)) return false;
    for (const HeaderPatch& patch : bitmap_.PatchesForPixelData(oldBytes, sink.StreamBytes())) {
        const auto v = static_cast<std::uint32_t>(patch.value);
        const std::uint8_t bytes[4] = {
            static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        if (!out.WriteAt(static_cast<std::uint64_t>(patch.offset), bytes, 4))
            return Failed(out.Error());
    }
    return true;
}

}  // namespace tintwell
