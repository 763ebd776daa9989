#include "png/PngFile.h"

#include "png/PngRows.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tintwell {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxLength = 0x7FFFFFFF;  // a chunk's length field never exceeds it
constexpr std::uint32_t kMaxSide = 1u << 24;      // pixels a row or column may have
constexpr std::size_t kMaxReadChunk = 4096;       // bytes of an ancillary chunk read for its data

std::uint32_t Big32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::int64_t PngFile::RawBytes() const {
    std::int64_t total = 0;
    for (const PngPass& pass : PngPassesOf(header_))
        total += pass.rows * RowBytes(pass.width);
    return total;
}

bool ReadFully(int fd, std::int64_t offset, void* into, std::size_t count) {
    auto* p = static_cast<std::uint8_t*>(into);
    while (count > 0) {
        const ssize_t n = ::pread(fd, p, count, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        offset += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool PngFile::HasSignature(const std::uint8_t* bytes, std::size_t size) {
    return size >= 8 && std::memcmp(bytes, kSignature, 8) == 0;
}

bool PngFile::HasSignature(int fd) {
    std::uint8_t head[8];
    return ReadFully(fd, 0, head, 8) && HasSignature(head, 8);
}

int PngFile::IndexLimit() const {
    const int depthLimit = 1 << std::min(header_.bitDepth, 8);
    return std::min(static_cast<int>(palette_.size()), depthLimit);
}

std::int64_t PngFile::RowBytes(std::int64_t pixels) const {
    return (pixels * header_.bitDepth + 7) / 8 + 1;
}

bool PngFile::Fail(Problem problem, std::string why) {
    problem_ = problem;
    why_ = std::move(why);
    return false;
}

bool PngFile::Scan(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return Fail(Problem::NotPng, std::strerror(errno));
    size_ = st.st_size;
    if (!HasSignature(fd)) return Fail(Problem::NotPng, "it has no PNG signature");
    if (!ReadChunks(fd) || !CheckOrder()) return false;
    if (animated_) return Fail(Problem::Animated, "animated PNG is not supported");
    if (header_.colorType != 3) {
        static const char* const kinds[] = {
            "greyscale", "", "truecolor", "", "greyscale with alpha", "", "truecolor with alpha"};
        const int t = header_.colorType;
        return Fail(Problem::NotIndexed,
                    std::string("it holds ") +
                        (t <= 6 && *kinds[t] ? kinds[t] : "an unknown kind of") +
                        " pixels, not palette indices");
    }
    if (RawBytes() > dataBytes_ * 1040 + 4096)
        return Fail(Problem::Damaged, "its image data is cut short");
    return true;
}

bool PngFile::ReadChunks(int fd) {
    std::int64_t at = 8;
    for (;;) {
        std::uint8_t head[8];
        if (at + 12 > size_ || !ReadFully(fd, at, head, 8))
            return Fail(Problem::Damaged, "it ends without an IEND chunk");
        PngChunk chunk;
        chunk.offset = at;
        chunk.length = Big32(head);
        chunk.type.assign(reinterpret_cast<const char*>(head + 4), 4);
        if (chunk.length > kMaxLength ||
            !std::all_of(chunk.type.begin(), chunk.type.end(), IsLetter))
            return Fail(Problem::Damaged, "a chunk at byte " + std::to_string(at) + " is damaged");
        if (chunk.End() > size_)
            return Fail(Problem::Damaged, "its " + chunk.type + " chunk is cut short");
        if (!CheckChunk(fd, chunk)) return false;
        chunks_.push_back(chunk);
        at = chunk.End();
        if (chunk.type == "IEND") return true;
    }
}

// Reads the data of the chunks whose contents matter and checks the
// checksums of the critical ones.
bool PngFile::CheckChunk(int fd, const PngChunk& chunk) {
    const std::string& t = chunk.type;
    if (t == "IDAT") {
        dataBytes_ += chunk.length;
        return true;
    }
    if (t == "acTL") animated_ = true;
    const bool known = t == "IHDR" || t == "PLTE" || t == "IEND";
    if (chunk.IsCritical() && !known)
        return Fail(Problem::Unsupported, "its critical chunk " + t + " is not known");
    const bool wanted = known || (t == "tRNS" && chunk.length <= kMaxReadChunk);
    if (!wanted) return true;
    std::vector<std::uint8_t> data(chunk.length + 4);
    if (!ReadFully(fd, chunk.offset + 8, data.data(), data.size()))
        return Fail(Problem::Damaged, "its " + t + " chunk could not be read");
    const std::uint32_t stored = Big32(data.data() + chunk.length);
    data.resize(chunk.length);
    uLong crc = ::crc32(0, reinterpret_cast<const Bytef*>(t.data()), 4);
    crc = ::crc32(crc, data.data(), static_cast<uInt>(data.size()));
    if (known && crc != stored)
        return Fail(Problem::Damaged, "its " + t + " chunk is damaged (bad CRC)");
    if (t == "IHDR")
        return chunks_.empty() ? ReadHeader(data)
                               : Fail(Problem::Damaged, "it has two IHDR chunks");
    if (t == "PLTE") return ReadPalette(data);
    if (t == "tRNS") alpha_ = std::move(data);
    return true;
}

bool PngFile::ReadHeader(const std::vector<std::uint8_t>& d) {
    if (d.size() != 13) return Fail(Problem::Damaged, "its IHDR chunk is damaged");
    header_.width = Big32(d.data());
    header_.height = Big32(d.data() + 4);
    header_.bitDepth = d[8];
    header_.colorType = d[9];
    header_.interlace = d[12];
    const int depth = header_.bitDepth, type = header_.colorType;
    const bool depthOk = type == 3 ? depth == 1 || depth == 2 || depth == 4 || depth == 8
                         : type == 0
                             ? depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16
                             : (type == 2 || type == 4 || type == 6) && (depth == 8 || depth == 16);
    if (header_.width == 0 || header_.height == 0 || header_.width > kMaxLength ||
        header_.height > kMaxLength || !depthOk || d[10] != 0 || d[11] != 0 || d[12] > 1)
        return Fail(Problem::Damaged, "its IHDR chunk is damaged");
    if (header_.width > kMaxSide || header_.height > kMaxSide)
        return Fail(Problem::Unsupported, "its size of " + std::to_string(header_.width) + " x " +
                                              std::to_string(header_.height) +
                                              " pixels is larger than supported");
    return true;
}

bool PngFile::ReadPalette(const std::vector<std::uint8_t>& d) {
    if (d.empty() || d.size() % 3 != 0 || d.size() > 768 || !palette_.empty())
        return Fail(Problem::Damaged, "its PLTE chunk is damaged");
    for (std::size_t i = 0; i < d.size(); i += 3)
        palette_.push_back(std::uint32_t{d[i]} | std::uint32_t{d[i + 1]} << 8 |
                           std::uint32_t{d[i + 2]} << 16);
    return true;
}

// IHDR first, image data in one run of IDAT chunks, PLTE before it.
bool PngFile::CheckOrder() {
    if (chunks_.front().type != "IHDR")
        return Fail(Problem::Damaged, "it does not start with IHDR");
    firstData_ = endData_ = 0;
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        if (chunks_[i].type != "IDAT") continue;
        if (endData_ != 0 && endData_ != i)
            return Fail(Problem::Damaged, "its image data is split by other chunks");
        if (endData_ == 0) firstData_ = i;
        endData_ = i + 1;
    }
    if (endData_ == 0) return Fail(Problem::Damaged, "it has no image data");
    const auto plte = std::find_if(chunks_.begin(), chunks_.end(),
                                   [](const PngChunk& c) { return c.type == "PLTE"; });
    if (plte != chunks_.end() && static_cast<std::size_t>(plte - chunks_.begin()) > firstData_)
        return Fail(Problem::Damaged, "its PLTE chunk follows the image data");
    if (header_.colorType == 3 && palette_.empty())
        return Fail(Problem::Damaged, "it has no PLTE chunk");
    return true;
}

}  // namespace tintwell
