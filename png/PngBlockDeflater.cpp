#include "png/PngBlockDeflater.h"

#include <zlib.h>

#include <algorithm>
#include <new>

namespace tintwell {
namespace {

constexpr std::size_t kWindow = std::size_t{32} << 10;

// One block as raw deflate data: ended with a sync flush (an empty stored
// block, so the next starts on a byte), or as the stream's last block.
std::vector<std::uint8_t> Deflate(std::vector<std::uint8_t> input,
                                  std::vector<std::uint8_t> dictionary, int level, int strategy,
                                  bool last) {
    z_stream z{};
    if (::deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) throw std::bad_alloc();
    if (!dictionary.empty())
        ::deflateSetDictionary(&z, dictionary.data(), static_cast<uInt>(dictionary.size()));
    std::vector<std::uint8_t> output(::deflateBound(&z, static_cast<uLong>(input.size())) + 16);
    z.next_in = input.data();
    z.avail_in = static_cast<uInt>(input.size());
    z.next_out = output.data();
    z.avail_out = static_cast<uInt>(output.size());
    const int r = ::deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
    output.resize(output.size() - z.avail_out);
    ::deflateEnd(&z);
    if (r == Z_STREAM_ERROR || z.avail_in != 0) throw std::bad_alloc();
    return output;
}

}  // namespace

PngBlockDeflater::PngBlockDeflater(int level, int strategy, int threads, Sink sink)
    : level_(level),
      strategy_(strategy),
      threads_(static_cast<std::size_t>(std::max(threads, 1))),
      sink_(std::move(sink)),
      adler_(::adler32(0, nullptr, 0)) {
    block_.reserve(kBlock);
}

PngBlockDeflater::~PngBlockDeflater() {
    for (auto& f : running_)
        if (f.valid()) f.wait();
}

bool PngBlockDeflater::Add(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const std::size_t n = std::min(size, kBlock - block_.size());
        block_.insert(block_.end(), data, data + n);
        data += n;
        size -= n;
        if (block_.size() == kBlock && !Submit(false)) return false;
    }
    return true;
}

bool PngBlockDeflater::Submit(bool last) {
    if (!started_) {
        // The zlib header: a 32 KiB window, the level's flag, a check that makes it divide by 31.
        const int flags = level_ < 2 ? 0 : level_ < 6 ? 1 : level_ == 6 ? 2 : 3;
        std::uint8_t header[2] = {0x78, static_cast<std::uint8_t>(flags << 6)};
        header[1] = static_cast<std::uint8_t>(header[1] + 31 - (0x78 * 256 + header[1]) % 31);
        if (!sink_(header, 2)) return false;
        started_ = true;
    }
    adler_ = ::adler32(adler_, block_.data(), static_cast<uInt>(block_.size()));
    std::vector<std::uint8_t> next(block_.end() - std::min(block_.size(), kWindow), block_.end());
    if (next.size() < kWindow && !dictionary_.empty()) {  // a short block: keep the older input too
        const std::size_t more = std::min(kWindow - next.size(), dictionary_.size());
        next.insert(next.begin(), dictionary_.end() - more, dictionary_.end());
    }
    running_.push_back(std::async(std::launch::async, Deflate, std::move(block_),
                                  std::move(dictionary_), level_, strategy_, last));
    dictionary_ = std::move(next);
    block_ = {};
    block_.reserve(last ? 0 : kBlock);
    return Drain(threads_);
}

// Hands out finished blocks until at most `keep` are running.
bool PngBlockDeflater::Drain(std::size_t keep) {
    while (running_.size() > keep) {
        const std::vector<std::uint8_t> out = running_.front().get();
        running_.pop_front();
        if (!sink_(out.data(), out.size())) return false;
    }
    return true;
}

bool PngBlockDeflater::Finish() {
    if (!Submit(true) || !Drain(0)) return false;
    const std::uint8_t check[4] = {
        static_cast<std::uint8_t>(adler_ >> 24), static_cast<std::uint8_t>(adler_ >> 16),
        static_cast<std::uint8_t>(adler_ >> 8), static_cast<std::uint8_t>(adler_)};
    return sink_(check, 4);
}

}  // namespace tintwell
