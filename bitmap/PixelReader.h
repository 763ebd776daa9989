#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/RleParser.h"

namespace tintwell {

class clsBitmap;

// Reads the pixels of an 8-bit BMP file a piece of a row at a time without
// holding the image, so memory stays bounded whatever its header claims. An
// uncompressed file's rows are read where they lie; an RLE8 stream is decoded
// from the nearest of a few thousand points noted while it is first read
// through, so a piece costs a few kilobytes of stream, in any order of rows.
// Pixels the file does not hold, or the stream never sets, are index 0.
class PixelReader {
  public:
    // `bitmap` holds the headers of the open file `fd`, which stays open.
    PixelReader(int fd, const clsBitmap& bitmap) : fd_(fd), bitmap_(bitmap) {}

    // Columns [x, x + count) of image row y (0 = top) into `into`. False when
    // the file could not be read (Error() says why).
    bool ReadRow(std::int64_t y, std::int64_t x, std::int64_t count, std::uint8_t* into);
    const std::string& Error() const { return error_; }

  private:
    bool ReadAt(std::int64_t offset, std::uint8_t* into, std::size_t count);
    bool Decode(std::int64_t row, std::int64_t x, std::int64_t count, std::uint8_t* into);
    bool NoteMarks();

    int fd_;
    const clsBitmap& bitmap_;
    std::vector<RleParser> marks_;  // states between operations, in stream order
    bool marked_ = false;
    std::string error_;
};

}  // namespace tintwell
