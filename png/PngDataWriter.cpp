#include "png/PngDataWriter.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "bitmap/AtomicFile.h"
#include "png/PngBlockDeflater.h"
#include "png/PngRows.h"

namespace tintwell {
namespace {

constexpr std::size_t kChunkData = std::size_t{256} << 10;  // data bytes of a full IDAT chunk

void PutBig32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

std::atomic<int> threads{1};

}  // namespace

void PngDataWriter::SetThreads(int n) {
    threads = std::max(n, 1);
}

int PngDataWriter::Threads() {
    return threads;
}

PngDataWriter::PngDataWriter(AtomicFile& out, std::int64_t rawBytes)
    : out_(out), chunk_(8 + kChunkData + 4) {
    z_.next_out = chunk_.data() + 8;
    z_.avail_out = kChunkData;
    const int n = threads;
    if (n > 1 && rawBytes >= 4 * static_cast<std::int64_t>(PngBlockDeflater::kBlock)) {
        blocks_ = std::make_unique<PngBlockDeflater>(
            kLevel, kStrategy, n,
            [this](const std::uint8_t* p, std::size_t size) { return Emit(p, size); });
        zReady_ = true;
        return;
    }
    zReady_ = ::deflateInit2(&z_, kLevel, Z_DEFLATED, 15, 8, kStrategy) == Z_OK;
}

PngDataWriter::~PngDataWriter() {
    if (zReady_ && !blocks_) ::deflateEnd(&z_);
}

// Copies compressed bytes into the chunk being filled.
bool PngDataWriter::Emit(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const std::size_t n = std::min<std::size_t>(size, z_.avail_out);
        std::memcpy(z_.next_out, data, n);
        z_.next_out += n;
        z_.avail_out -= static_cast<uInt>(n);
        data += n;
        size -= n;
        if (z_.avail_out == 0 && !WriteChunk()) return false;
    }
    return true;
}

bool PngDataWriter::Fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
    return false;
}

void PngDataWriter::StartPass(std::size_t bytes) {
    previous_.assign(bytes, 0);
    filtered_.assign(bytes + 1, 0);
}

bool PngDataWriter::WriteChunk() {
    const std::size_t length = kChunkData - z_.avail_out;
    if (length == 0) return true;
    PutBig32(chunk_.data(), static_cast<std::uint32_t>(length));
    std::memcpy(chunk_.data() + 4, "IDAT", 4);
    const uLong crc = ::crc32(0, chunk_.data() + 4, static_cast<uInt>(length + 4));
    PutBig32(chunk_.data() + 8 + length, static_cast<std::uint32_t>(crc));
    if (!out_.Write(chunk_.data(), length + 12)) return Fail(out_.Error());
    z_.next_out = chunk_.data() + 8;
    z_.avail_out = kChunkData;
    return true;
}

bool PngDataWriter::Deflate(int flush) {
    for (;;) {
        const int r = ::deflate(&z_, flush);
        if (r == Z_STREAM_ERROR) return Fail("the compressor failed");
        if (z_.avail_out == 0 && !WriteChunk()) return false;
        if (flush == Z_FINISH ? r == Z_STREAM_END : z_.avail_in == 0 && z_.avail_out > 0)
            return true;
    }
}

bool PngDataWriter::WriteRow(int filterType, const std::uint8_t* row) {
    if (!zReady_) return Fail("the compressor could not start");
    const std::size_t bytes = previous_.size();
    filtered_[0] = static_cast<std::uint8_t>(filterType);
    PngFilter(filterType, row, previous_.data(), filtered_.data() + 1, bytes);
    std::memcpy(previous_.data(), row, bytes);
    if (blocks_) return blocks_->Add(filtered_.data(), bytes + 1) || Fail(out_.Error());
    z_.next_in = filtered_.data();
    z_.avail_in = static_cast<uInt>(bytes + 1);
    return Deflate(Z_NO_FLUSH);
}

bool PngDataWriter::Finish() {
    if (!zReady_) return Fail("the compressor could not start");
    if (blocks_) return (blocks_->Finish() || Fail(out_.Error())) && WriteChunk();
    z_.next_in = nullptr;
    z_.avail_in = 0;
    return Deflate(Z_FINISH) && WriteChunk();
}

}  // namespace tintwell
