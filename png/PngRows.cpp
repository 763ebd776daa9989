#include "png/PngRows.h"

#include <cstdlib>
#include <cstring>

namespace tintwell {
namespace {

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

}  // namespace

std::vector<PngPass> PngPassesOf(const PngHeader& header) {
    static constexpr int x0[7] = {0, 4, 0, 2, 0, 1, 0}, dx[7] = {8, 8, 4, 4, 2, 2, 1};
    static constexpr int y0[7] = {0, 0, 4, 0, 2, 0, 1}, dy[7] = {8, 8, 8, 4, 4, 2, 2};
    const std::int64_t w = header.width, h = header.height;
    if (header.interlace == 0) return {PngPass{0, 0, 1, 1, w, h}};
    std::vector<PngPass> passes;
    for (int p = 0; p < 7; ++p) {
        const PngPass pass{x0[p],
                           y0[p],
                           dx[p],
                           dy[p],
                           (w - x0[p] + dx[p] - 1) / dx[p],
                           (h - y0[p] + dy[p] - 1) / dy[p]};
        if (pass.width > 0 && pass.rows > 0) passes.push_back(pass);
    }
    return passes;
}

void PngUnfilter(int type, std::uint8_t* row, const std::uint8_t* prev, std::size_t bytes) {
    switch (type) {
        case 1:
            for (std::size_t i = 1; i < bytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + row[i - 1]);
            break;
        case 2:
            for (std::size_t i = 0; i < bytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
            break;
        case 3:
            for (std::size_t i = 0; i < bytes; ++i) {
                const int left = i > 0 ? row[i - 1] : 0;
                row[i] = static_cast<std::uint8_t>(row[i] + ((left + prev[i]) >> 1));
            }
            break;
        case 4:
            for (std::size_t i = 0; i < bytes; ++i) {
                const int left = i > 0 ? row[i - 1] : 0, upLeft = i > 0 ? prev[i - 1] : 0;
                row[i] = static_cast<std::uint8_t>(row[i] + Paeth(left, prev[i], upLeft));
            }
            break;
        default:
            break;
    }
}

void PngFilter(int type, const std::uint8_t* row, const std::uint8_t* prev, std::uint8_t* out,
               std::size_t bytes) {
    if (bytes == 0) return;
    switch (type) {
        case 1:
            out[0] = row[0];
            for (std::size_t i = 1; i < bytes; ++i)
                out[i] = static_cast<std::uint8_t>(row[i] - row[i - 1]);
            return;
        case 2:
            for (std::size_t i = 0; i < bytes; ++i)
                out[i] = static_cast<std::uint8_t>(row[i] - prev[i]);
            return;
        case 3:
            out[0] = static_cast<std::uint8_t>(row[0] - (prev[0] >> 1));
            for (std::size_t i = 1; i < bytes; ++i)
                out[i] = static_cast<std::uint8_t>(row[i] - ((row[i - 1] + prev[i]) >> 1));
            return;
        case 4:
            out[0] = static_cast<std::uint8_t>(row[0] - prev[0]);  // Paeth(0, up, 0) is up
            for (std::size_t i = 1; i < bytes; ++i)
                out[i] =
                    static_cast<std::uint8_t>(row[i] - Paeth(row[i - 1], prev[i], prev[i - 1]));
            return;
        default:
            std::memcpy(out, row, bytes);
    }
}

void PngUnpack(const std::uint8_t* packed, int depth, std::int64_t count, std::uint8_t* out) {
    if (depth == 8) {
        std::memcpy(out, packed, static_cast<std::size_t>(count));
        return;
    }
    const int perByte = 8 / depth, mask = (1 << depth) - 1;
    for (std::int64_t i = 0; i < count; ++i) {
        const int shift = 8 - depth * (static_cast<int>(i % perByte) + 1);
        out[i] = static_cast<std::uint8_t>(packed[i / perByte] >> shift & mask);
    }
}

void PngPack(const std::uint8_t* indices, int depth, std::int64_t count, std::uint8_t* packed) {
    if (depth == 8) {
        std::memcpy(packed, indices, static_cast<std::size_t>(count));
        return;
    }
    // Bits behind the last pixel of a row stay as the source row had them:
    // only the pixels' own bits are replaced.
    const int perByte = 8 / depth, mask = (1 << depth) - 1;
    for (std::int64_t i = 0; i < count; ++i) {
        const int shift = 8 - depth * (static_cast<int>(i % perByte) + 1);
        std::uint8_t& b = packed[i / perByte];
        b = static_cast<std::uint8_t>((b & ~(mask << shift)) | (indices[i] & mask) << shift);
    }
}

}  // namespace tintwell
