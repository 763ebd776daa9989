#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tintwell {

class AtomicFile;
class PngBlockDeflater;

// Writes new image data as IDAT chunks into an AtomicFile: each row is
// filtered with the filter type given for it, compressed in a stream and cut
// into chunks as the output grows. Memory is the deflate state, one chunk's
// data and two rows.
class PngDataWriter {
  public:
    // zlib's level and strategy for the new stream.
    static constexpr int kLevel = 6;
    static constexpr int kStrategy = Z_DEFAULT_STRATEGY;

    // `rawBytes` is the size of the filtered image data to come: a large
    // image is compressed on the threads SetThreads allows (PngBlockDeflater).
    PngDataWriter(AtomicFile& out, std::int64_t rawBytes);
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

    // Threads the compression of one large image may use (1 by default), for
    // the whole process: a caller that runs one job per core sets its job count.
    static void SetThreads(int threads);
    static int Threads();

  private:
    bool Deflate(int flush);
    bool Emit(const std::uint8_t* data, std::size_t size);
    bool WriteChunk();
    bool Fail(std::string why);

    AtomicFile& out_;
    z_stream z_{};
    bool zReady_ = false;
    std::vector<std::uint8_t> previous_, filtered_;
    std::vector<std::uint8_t> chunk_;           // length and type, then the data
    std::unique_ptr<PngBlockDeflater> blocks_;  // instead of z_ for a large image
    std::string error_;
};

}  // namespace tintwell
