#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tintwell {

// One chunk of a PNG file: where it lies and what it is called.
struct PngChunk {
    std::int64_t offset = 0;   // of its length field
    std::uint32_t length = 0;  // of its data
    std::string type;          // four letters, as "IHDR"

    std::int64_t End() const { return offset + 12 + length; }
    // Critical chunks have an upper-case first letter.
    bool IsCritical() const { return !type.empty() && type[0] >= 'A' && type[0] <= 'Z'; }
};

// The image header (IHDR) of a PNG file.
struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colorType = 0;  // 3 is indexed colour
    int interlace = 0;  // 1 is Adam7
};

// The chunk structure of a PNG file, read from an open file without its image
// data: the header, the palette (PLTE), the palette's transparency (tRNS) and
// every chunk in order. The image data itself is read by PngImageReader.
//
// Scan refuses, with a text saying why: a file that is no PNG, one whose
// chunks run past its end or that has no IEND, a critical chunk (other than
// IDAT, whose checksums the reader checks) with a bad checksum, a bad header,
// image data in more than one run of chunks, an unknown critical chunk, an
// animated PNG, and any colour type but indexed colour.
class PngFile {
  public:
    enum class Problem {
        None,
        NotPng,       // no PNG signature
        Damaged,      // the chunk structure or a checksum is wrong
        NotIndexed,   // greyscale, truecolour or with an alpha channel
        Animated,     // an acTL chunk
        Unsupported,  // an unknown critical chunk
    };

    // The first eight bytes of every PNG file.
    static bool HasSignature(const std::uint8_t* bytes, std::size_t size);
    static bool HasSignature(int fd);

    bool Scan(int fd);

    Problem GetProblem() const { return problem_; }
    // Why Scan refused the file, as a clause ("its IHDR chunk is damaged").
    const std::string& Why() const { return why_; }

    const PngHeader& Header() const { return header_; }
    // PLTE as 0x00BBGGRR values (red in the low byte).
    const std::vector<std::uint32_t>& Palette() const { return palette_; }
    // tRNS alpha values for the first palette entries (the others are opaque).
    const std::vector<std::uint8_t>& Alpha() const { return alpha_; }
    const std::vector<PngChunk>& Chunks() const { return chunks_; }
    // The first and one past the last IDAT chunk in Chunks().
    std::size_t FirstData() const { return firstData_; }
    std::size_t EndData() const { return endData_; }
    // Bytes of image data in all IDAT chunks together.
    std::int64_t DataBytes() const { return dataBytes_; }
    // Bytes of the file behind the IEND chunk (0 when it was not reached).
    std::int64_t TrailingBytes() const {
        return !chunks_.empty() && chunks_.back().type == "IEND" ? size_ - chunks_.back().End() : 0;
    }
    std::int64_t FileSize() const { return size_; }
    // The highest index a pixel may hold plus one: the palette's length, no
    // more than the bit depth can hold.
    int IndexLimit() const;
    // Bytes of the decoded image data, filter-type bytes included, all passes together.
    std::int64_t RawBytes() const;
    // Bytes a decoded image row takes, with its filter-type byte, for `pixels` pixels.
    std::int64_t RowBytes(std::int64_t pixels) const;

  private:
    bool Fail(Problem problem, std::string why);
    bool ReadChunks(int fd);
    bool CheckChunk(int fd, const PngChunk& chunk);
    bool ReadHeader(const std::vector<std::uint8_t>& data);
    bool ReadPalette(const std::vector<std::uint8_t>& data);
    bool CheckOrder();

    Problem problem_ = Problem::None;
    std::string why_;
    PngHeader header_;
    std::vector<std::uint32_t> palette_;
    std::vector<std::uint8_t> alpha_;
    std::vector<PngChunk> chunks_;
    std::size_t firstData_ = 0, endData_ = 0;
    std::int64_t dataBytes_ = 0;
    std::int64_t size_ = 0;
    bool animated_ = false;
};

// Reads exactly `count` bytes at `offset` of `fd`; false at the end of the
// file or on an error.
bool ReadFully(int fd, std::int64_t offset, void* into, std::size_t count);

}  // namespace tintwell
