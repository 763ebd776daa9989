#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "png/PngFile.h"
#include "png/PngRows.h"

namespace tintwell {

// Decodes the image data of a scanned PNG file a row at a time, in the order
// the file stores its rows (pass by pass for Adam7): the IDAT chunks are read
// in pieces with their checksums checked, inflated and unfiltered. Memory is
// a read buffer, the inflate state and two rows, whatever the image's size.
//
// A bad IDAT checksum, a stream that is cut short, undecodable or longer than
// the image, and a filter type outside 0..4 make the image damaged.
class PngImageReader {
  public:
    PngImageReader(int fd, const PngFile& png);
    ~PngImageReader();
    PngImageReader(const PngImageReader&) = delete;
    PngImageReader& operator=(const PngImageReader&) = delete;

    // Decodes the next row; false after the last one (see Finish) or on a
    // failure (see Damaged and Error).
    bool Next();
    // After the last row: reads the rest of the image data, which must end the
    // stream and hold nothing more. True when the image data is whole.
    bool Finish();

    const PngPass& Pass() const { return passes_[pass_]; }
    std::int64_t RowInPass() const { return row_; }
    // The image row (0 = top) the current row holds.
    std::int64_t ImageRow() const { return Pass().y0 + row_ * Pass().dy; }
    int FilterType() const { return current_[0]; }
    // The current row's unfiltered pixel bytes (no filter-type byte).
    std::uint8_t* Row() { return current_.data() + 1; }
    std::size_t RowSize() const { return rowSize_; }
    // True when a row is the first of its pass.
    bool PassStart() const { return row_ == 0; }

    // True when a failure was the image data's own fault, not a read error.
    bool Damaged() const { return damaged_; }
    const std::string& Error() const { return error_; }

  private:
    bool Fill(std::uint8_t* into, std::size_t count);
    bool Refill();
    bool NextChunk();
    bool Fail(bool damaged, std::string why);

    int fd_;
    const PngFile& png_;
    std::vector<PngPass> passes_;
    std::size_t pass_ = 0;
    std::int64_t row_ = -1;
    std::size_t rowSize_ = 0;
    std::vector<std::uint8_t> current_, previous_;  // filter-type byte first
    std::vector<std::uint8_t> input_;
    z_stream z_{};
    bool zReady_ = false;
    bool ended_ = false;           // the deflate stream has ended
    std::size_t chunk_ = 0;        // the IDAT chunk being read
    std::int64_t chunkLeft_ = -1;  // its bytes not yet read; -1 before the first
    uLong crc_ = 0;
    bool damaged_ = false;
    std::string error_;
};

}  // namespace tintwell
