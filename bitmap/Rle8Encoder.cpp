#include "bitmap/Rle8Encoder.h"

#include <algorithm>

namespace tintwell {

std::int64_t Rle8Encoder::LiteralLength(const std::uint8_t* row, std::int64_t i,
                                        std::int64_t width) {
    std::int64_t j = i;
    while (j < width && j - i < 255) {
        if (j + 2 < width && row[j] == row[j + 1] && row[j] == row[j + 2]) break;
        ++j;
    }
    return j - i;
}

void Rle8Encoder::EncodeRow(const std::uint8_t* row, std::int64_t width, bool lastRow,
                            std::vector<std::uint8_t>& out) {
    EncodePixels(row, width, out);
    out.push_back(0);
    out.push_back(lastRow ? 1 : 0);
}

void Rle8Encoder::EncodePixels(const std::uint8_t* row, std::int64_t width,
                               std::vector<std::uint8_t>& out) {
    std::int64_t i = 0;
    while (i < width) {
        std::int64_t run = 1;
        while (i + run < width && run < 255 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        const std::int64_t literal = LiteralLength(row, i, width);
        if (literal < 3) {  // an absolute run needs three pixels at least
            out.push_back(1);
            out.push_back(row[i++]);
            continue;
        }
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(literal));
        out.insert(out.end(), row + i, row + i + literal);
        if (literal % 2) out.push_back(0);
        i += literal;
    }
}

}  // namespace tintwell
