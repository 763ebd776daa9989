#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bitmap/AtomicFile.h"
#include "bitmap/RleParser.h"
#include "bitmap/clsBitmap.h"
#include "core/ColorMap.h"
#include "core/SelectionRect.h"

namespace tintwell {

// Writes the recoloured version of one open 8-bit BMP file into an
// AtomicFile, changing the pixel indices and nothing else. Memory stays
// bounded by a fixed buffer and a few rows, whatever the file's size: rows are
// read, mapped and written in pieces, and the bytes no recolour touches (the
// headers and colour table, the bytes around the pixels, pieces without a
// selected pixel) are copied inside the kernel with their holes kept.
//
// An RLE8 stream stays RLE8: with a map for the whole image only the index
// bytes inside its runs change; with a selection (or when the stream leaves
// pixels unset, which are index 0, and the map changes index 0) it is
// compressed again as it is read (Rle8Reencoder), each pixel the recolour
// leaves alone keeping its encoding. A damaged stream is never written, nor a
// result too long for the file's sizes.
class RecolorWriter {
  public:
    // `bitmap` holds the headers of the open file `fd`, loaded from it with
    // BitmapParts::Headers at least.
    RecolorWriter(int fd, const clsBitmap& bitmap) : fd_(fd), bitmap_(bitmap) {}

    // Appends the whole new file to `out`, which the caller opened and commits.
    bool Write(const ColorMap& map, const SelectionRect& selection, bool outside, AtomicFile& out);
    // After a failed Write: true when the file's RLE stream is damaged (the
    // file is refused), false for a failure to read or write.
    bool Damaged() const { return damaged_; }
    // After a failed Write: true when the recoloured file would be too large
    // for the format's 32-bit sizes (the file is refused); nothing was written.
    bool TooLarge() const { return tooLarge_; }
    const std::string& Error() const { return error_; }

  private:
    using Consumer = std::function<bool(const std::uint8_t*, std::size_t)>;

    bool WriteUncompressed(const ColorMap& map, const SelectionRect& selection, bool outside,
                           AtomicFile& out);
    bool ChunkTouched(std::int64_t a, std::int64_t b, const SelectionRect& selection,
                      bool outside) const;
    void MapChunk(std::uint8_t* bytes, std::int64_t a, std::int64_t b, const std::uint8_t* table,
                  const SelectionRect& selection, bool outside) const;
    bool EditStream(const ColorMap& map, AtomicFile& out, bool& reencode);
    bool Reencode(const ColorMap& map, const SelectionRect& selection, bool outside,
                  AtomicFile& out);
    bool ReadStream(RleParser& parser, RleSink& sink, const Consumer& consume,
                    std::int64_t& streamBytes);
    bool CopyTail(std::int64_t from, AtomicFile& out);
    bool ReadAt(std::int64_t offset, std::uint8_t* into, std::size_t count);
    bool Failed(const std::string& error);

    int fd_;
    const clsBitmap& bitmap_;
    std::vector<std::uint8_t> buffer_;
    bool damaged_ = false;
    bool tooLarge_ = false;
    std::string error_;
};

}  // namespace tintwell
