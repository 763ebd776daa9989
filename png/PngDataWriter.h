#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tintwell {

class AtomicFile;

// Writes new image data as IDAT chunks into an AtomicFile: each row is
// filtered with the filter type given for it, compressed in a stream and cut
// into chunks as the output grows. Memory is the deflate state, one chunk's
// data and two rows.
class PngDataWriter {
  public:
    // zlib's level and strategy for the new stream.
    static constexpr int kLevel = 6;
    static constexpr int kStrategy = Z_DEFAULT_STRATEGY;

    explicit PngDataWriter(AtomicFile& out);
    ~PngDataWriter();
    PngDataWriter(const PngDataWriter&) = delete;
    PngDataWriter& operator=(const PngDataWriter&) = delete;

    // The next row is the first of a pass whose rows hold `bytes` bytes.
    void StartPass(std::size_t bytes);
    // Filters the unfiltered `row` (StartPass's size) with `filterType` and compresses it.
    bool WriteRow(int filterType, const std::uint8_t* row);
    // Ends the stream and writes the last chunk.
    bool Finish();
    const std::string& Error() const { return error_; }

  private:
    bool Deflate(int flush);
    bool WriteChunk();
    bool Fail(std::string why);

    AtomicFile& out_;
    z_stream z_{};
    bool zReady_ = false;
    std::vector<std::uint8_t> previous_, filtered_;
    std::vector<std::uint8_t> chunk_;  // length and type, then the data
    std::string error_;
};

}  // namespace tintwell
