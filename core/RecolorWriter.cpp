#include "core/RecolorWriter.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "core/MapIndices.h"
#include "core/RecolorSpans.h"
#include "core/Rle8Reencoder.h"

namespace tintwell {
namespace {

// Bytes read and written at a time.
constexpr std::size_t kChunk = std::size_t{1} << 20;

// Maps the index bytes of an RLE8 stream in place.
class MapSink : public RleSink {
  public:
    explicit MapSink(const std::uint8_t* table) : table_(table) {}
    void Repeat(std::int64_t, std::int64_t, std::int64_t, std::uint8_t* value) override {
        MapIndices(value, value, 1, table_);
    }
    void Literal(std::int64_t, std::int64_t, std::int64_t count, std::uint8_t* data) override {
        MapIndices(data, data, static_cast<std::size_t>(count), table_);
    }
    // Index bytes of pixels past the row's end are mapped too: some readers
    // wrap them into the next row.
    void Cut(std::uint8_t* data, std::int64_t count) override { Literal(0, 0, count, data); }

  private:
    const std::uint8_t* table_;
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
    tooLarge_ = false;
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
    if (!out.CopyRange(fd_, 0, static_cast<std::uint64_t>(start))) return Failed(out.Error());
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
    return CopyTail(start + bytes, out);
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
        // The row's columns that lie in this chunk.
        const std::int64_t from = std::max<std::int64_t>(a - r * stride, 0);
        const std::int64_t to = std::min<std::int64_t>(b - r * stride, bitmap_.Width());
        if (from < to) {
            std::uint8_t* p = bytes + (r * stride + from - a);
            MapRowPiece(p, p, from, to, spans, table);
        }
    }
}

// --- RLE8 streams ---------------------------------------------------------------

// Reads the stream from bfOffBits in pieces through `parser`; hands each run
// of whole operations read to `consume`. Sets the stream's length.
bool RecolorWriter::ReadStream(RleParser& parser, RleSink& sink, const Consumer& consume,
                               std::int64_t& streamBytes) {
    const auto reader = [this](std::int64_t at, std::uint8_t* into, std::size_t n) {
        return ReadAt(at, into, n);
    };
    const bool read =
        parser.Read(reader, bitmap_.FileHeader().bfOffBits, bitmap_.SourceSize(), sink, consume);
    streamBytes = parser.StreamBytes();
    if (!read) return false;
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

// The new stream is measured first, so that one too long for the file's
// 32-bit sizes is refused before a byte of it is written.
bool RecolorWriter::Reencode(const ColorMap& map, const SelectionRect& selection, bool outside,
                             AtomicFile& out) {
    const std::int64_t start = bitmap_.FileHeader().bfOffBits;
    std::int64_t oldBytes = 0;
    const auto none = [](const std::uint8_t*, std::size_t) { return true; };
    RleParser counting(8, bitmap_.Width(), bitmap_.Height());
    Rle8Reencoder measure(bitmap_.Width(), bitmap_.Height(), bitmap_.IsTopDown(), map.data(),
                          selection, outside, nullptr);
    if (!ReadStream(counting, measure, none, oldBytes)) return false;
    measure.Finish();
    const std::int64_t size = bitmap_.SourceSize() - oldBytes + measure.StreamBytes();
    if (size > std::numeric_limits<std::int32_t>::max()) {
        tooLarge_ = true;
        return Failed("the recolored file would take " + std::to_string(size) +
                      " bytes, more than a BMP file can describe");
    }
    RleParser parser(8, bitmap_.Width(), bitmap_.Height());
    Rle8Reencoder sink(bitmap_.Width(), bitmap_.Height(), bitmap_.IsTopDown(), map.data(),
                       selection, outside, &out);
    const bool read = ReadStream(
        parser, sink,
        [&](const std::uint8_t*, std::size_t) { return !sink.Failed() || Failed(out.Error()); },
        oldBytes);
    if (!read) return false;
    if (!sink.Finish()) return Failed(out.Error());
    if (!CopyTail(start + oldBytes, out)) return false;
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
