#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <vector>

namespace tintwell {

// Compresses one zlib stream in blocks on several threads: each block of
// input is deflated on its own, primed with the 32 KiB of input before it so
// that matches reach back as in one stream, and ended on a byte boundary, so
// the blocks' outputs joined in order are one valid stream. The compressed
// bytes reach `sink` in order. At most `threads` blocks are compressed at
// once; memory is about two blocks for each.
class PngBlockDeflater {
  public:
    using Sink = std::function<bool(const std::uint8_t*, std::size_t)>;
    static constexpr std::size_t kBlock = std::size_t{1} << 20;

    PngBlockDeflater(int level, int strategy, int threads, Sink sink);
    ~PngBlockDeflater();
    PngBlockDeflater(const PngBlockDeflater&) = delete;
    PngBlockDeflater& operator=(const PngBlockDeflater&) = delete;

    // Appends input; false when the sink refused output.
    bool Add(const std::uint8_t* data, std::size_t size);
    // Compresses what is left, ends the stream and hands out the rest.
    bool Finish();

  private:
    bool Submit(bool last);
    bool Drain(std::size_t keep);

    int level_, strategy_;
    std::size_t threads_;
    Sink sink_;
    std::vector<std::uint8_t> block_;
    std::vector<std::uint8_t> dictionary_;
    std::deque<std::future<std::vector<std::uint8_t>>> running_;
    unsigned long adler_;
    bool started_ = false;
};

}  // namespace tintwell
