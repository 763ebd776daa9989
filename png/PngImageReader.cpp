#include "png/PngImageReader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tintwell {
namespace {

constexpr std::size_t kInput = std::size_t{64} << 10;

std::uint32_t Big32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

PngImageReader::PngImageReader(int fd, const PngFile& png)
    : fd_(fd), png_(png), passes_(PngPassesOf(png.Header())) {
    zReady_ = ::inflateInit(&z_) == Z_OK;
}

PngImageReader::~PngImageReader() {
    if (zReady_) ::inflateEnd(&z_);
}

bool PngImageReader::Fail(bool damaged, std::string why) {
    damaged_ = damaged;
    if (error_.empty()) error_ = std::move(why);
    return false;
}

// Steps to the next IDAT chunk, checking the checksum of the one finished.
bool PngImageReader::NextChunk() {
    const auto& chunks = png_.Chunks();
    if (chunkLeft_ == 0) {
        const PngChunk& done = chunks[chunk_];
        std::uint8_t stored[4];
        if (!ReadFully(fd_, done.offset + 8 + done.length, stored, 4))
            return Fail(false, "the file could not be read");
        if (Big32(stored) != crc_) return Fail(true, "an IDAT chunk is damaged (bad CRC)");
        ++chunk_;
    } else {
        chunk_ = png_.FirstData();
    }
    if (chunk_ >= png_.EndData()) {
        chunkLeft_ = -2;  // no image data left
        return true;
    }
    chunkLeft_ = chunks[chunk_].length;
    crc_ = ::crc32(0, reinterpret_cast<const Bytef*>("IDAT"), 4);
    return true;
}

// Reads more image data into the input buffer; false at the end of the data.
bool PngImageReader::Refill() {
    while (chunkLeft_ <= 0) {
        if (chunkLeft_ == -2 || !NextChunk() || chunkLeft_ == -2) return false;
    }
    if (input_.empty()) input_.resize(kInput);
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(chunkLeft_, kInput));
    const PngChunk& chunk = png_.Chunks()[chunk_];
    const std::int64_t at = chunk.offset + 8 + (chunk.length - chunkLeft_);
    if (!ReadFully(fd_, at, input_.data(), n)) return Fail(false, "the file could not be read");
    crc_ = ::crc32(crc_, input_.data(), static_cast<uInt>(n));
    chunkLeft_ -= static_cast<std::int64_t>(n);
    z_.next_in = input_.data();
    z_.avail_in = static_cast<uInt>(n);
    return true;
}

// Inflates exactly `count` bytes into `into`.
bool PngImageReader::Fill(std::uint8_t* into, std::size_t count) {
    z_.next_out = into;
    z_.avail_out = static_cast<uInt>(count);
    while (z_.avail_out > 0) {
        if (ended_) return Fail(true, "its image data is cut short");
        if (z_.avail_in == 0 && !Refill())
            return !error_.empty() ? false : Fail(true, "its image data is cut short");
        const int r = ::inflate(&z_, Z_NO_FLUSH);
        if (r == Z_STREAM_END)
            ended_ = true;
        else if (r == Z_MEM_ERROR)
            throw std::bad_alloc();
        else if (r != Z_OK && r != Z_BUF_ERROR)
            return Fail(true, "its image data cannot be decoded");
    }
    return true;
}

bool PngImageReader::Next() {
    if (!zReady_) return Fail(false, "the decompressor could not start");
    if (!error_.empty() || pass_ >= passes_.size()) return false;
    if (row_ + 1 >= Pass().rows && row_ >= 0) {
        if (++pass_ >= passes_.size()) return false;
        row_ = -1;
    }
    if (row_ < 0) {
        rowSize_ = static_cast<std::size_t>(png_.RowBytes(Pass().width) - 1);
        current_.assign(rowSize_ + 1, 0);
        previous_.assign(rowSize_ + 1, 0);
    } else {
        current_.swap(previous_);
    }
    ++row_;
    if (!Fill(current_.data(), rowSize_ + 1)) return false;
    if (current_[0] > 4)
        return Fail(true, "row " + std::to_string(ImageRow()) + " has the unknown filter type " +
                              std::to_string(current_[0]));
    PngUnfilter(current_[0], Row(), previous_.data() + 1, rowSize_);
    return true;
}

bool PngImageReader::Finish() {
    if (!error_.empty()) return false;
    std::uint8_t extra[64];
    while (!ended_) {
        z_.next_out = extra;
        z_.avail_out = sizeof extra;
        if (z_.avail_in == 0 && !Refill())
            return !error_.empty() ? false : Fail(true, "its image data is cut short");
        const int r = ::inflate(&z_, Z_NO_FLUSH);
        if (z_.avail_out != sizeof extra)
            return Fail(true, "its image data holds more rows than the image");
        if (r == Z_STREAM_END)
            ended_ = true;
        else if (r != Z_OK && r != Z_BUF_ERROR)
            return Fail(true, "its image data cannot be decoded");
    }
    // Bytes behind the stream's end are left alone; every checksum is checked.
    while (chunkLeft_ != -2) {
        if (chunkLeft_ > 0) {
            z_.avail_in = 0;
            if (!Refill()) return false;
            continue;
        }
        if (!NextChunk()) return false;
    }
    return true;
}

}  // namespace tintwell
