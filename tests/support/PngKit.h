#pragma once
// PNG files for the tests and the fuzz target: chunks made with their
// checksums, and the bytes of a file outside its image data, read by a parser
// of their own.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "bitmap/clsBitmap.h"

namespace tintwell::test {

inline std::uint32_t Big32(const std::string& s, std::size_t at) {
    return std::uint32_t(std::uint8_t(s[at])) << 24 | std::uint32_t(std::uint8_t(s[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(s[at + 2])) << 8 | std::uint8_t(s[at + 3]);
}

// The four bytes of `v`, most significant first.
inline std::string Big(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

inline std::string Chunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    const auto crc = ::crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
    return Big(std::uint32_t(data.size())) + body + Big(std::uint32_t(crc));
}

// The zlib stream of `raw`.
inline std::string Deflated(const std::string& raw) {
    uLongf n = compressBound(uLong(raw.size()));
    std::string stream(n, '\0');
    ::compress(reinterpret_cast<Bytef*>(stream.data()), &n,
               reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
    return stream.substr(0, n);
}

// An indexed PNG of w x h pixels at `depth` with the palette bytes `plte`
// whose image data is `stream`.
inline std::string IndexedPng(std::uint32_t w, std::uint32_t h, int depth, const std::string& plte,
                              const std::string& stream) {
    const std::string header = Big(w) + Big(h) + char(depth) + std::string("\x03\0\0\0", 4);
    return "\x89PNG\r\n\x1a\n" + Chunk("IHDR", header) + Chunk("PLTE", plte) +
           Chunk("IDAT", stream) + Chunk("IEND", "");
}

// A PNG made here: 4 x 2 pixels (0, 1, 2, 3 at depth 8, 0, 1, 0, 1 at depth
// 1) and 4 palette entries, whose rows have `filter` types and whose stream
// is `stream` when given.
inline std::string SmallPng(int filter, int depth = 8, const std::string& stream = "") {
    std::string raw;
    for (int y = 0; y < 2; ++y)
        raw += char(filter) + (depth == 8 ? std::string("\0\1\2\3", 4) : std::string("\x50"));
    return IndexedPng(4, 2, depth, std::string(12, '\x40'),
                      stream.empty() ? Deflated(raw) : stream);
}

// Every byte of a PNG file but its IDAT chunks, in order.
inline std::string OutsideImageData(const std::string& png) {
    std::string kept = png.substr(0, std::min<std::size_t>(8, png.size()));
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::size_t end = at + 12 + Big32(png, at);
        if (end > png.size()) break;
        if (png.compare(at + 4, 4, "IDAT") != 0) kept += png.substr(at, end - at);
        const bool last = png.compare(at + 4, 4, "IEND") == 0;
        at = end;
        if (last) break;
    }
    return kept + png.substr(std::min(at, png.size()));
}

// The pixel bytes of an 8-bit bitmap, row 0 first, without the rows' padding.
inline std::string Rows(const clsBitmap& bitmap) {
    std::string rows;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        rows.append(reinterpret_cast<const char*>(bitmap.RowData(y)), std::size_t(bitmap.Width()));
    return rows;
}

}  // namespace tintwell::test
