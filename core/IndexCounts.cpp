#include "core/IndexCounts.h"

#include <array>

namespace tintwell {

std::vector<std::int64_t> CountIndices(const clsBitmap& bitmap) {
    const int bits = bitmap.BitCount();
    if (!bitmap.PixelsLoaded() || (bits != 1 && bits != 4 && bits != 8)) return {};
    // Four tables, so that runs of one index do not wait on one counter.
    std::array<std::array<std::uint64_t, 256>, 4> tables{};
    const std::int64_t width = bitmap.Width();
    for (std::int64_t y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.RowData(y);
        if (row == nullptr) continue;
        std::int64_t x = 0;
        if (bits == 8) {
            for (; x + 4 <= width; x += 4) {
                ++tables[0][row[x]];
                ++tables[1][row[x + 1]];
                ++tables[2][row[x + 2]];
                ++tables[3][row[x + 3]];
            }
        }
        for (; x < width; ++x) {
            const int shift = bits == 8 ? 0 : 8 - bits - static_cast<int>((x * bits) % 8);
            ++tables[0][(row[x * bits / 8] >> shift) & ((1 << bits) - 1)];
        }
    }
    std::vector<std::int64_t> counts(256);
    for (size_t i = 0; i < counts.size(); ++i)
        counts[i] =
            static_cast<std::int64_t>(tables[0][i] + tables[1][i] + tables[2][i] + tables[3][i]);
    return counts;
}

}  // namespace tintwell
