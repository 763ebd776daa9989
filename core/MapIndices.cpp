#include "core/MapIndices.h"

#include <algorithm>
#include <cstring>

namespace tintwell {

void MapIndices(const std::uint8_t* source, std::uint8_t* target, std::size_t count,
                const std::uint8_t* table) {
    for (std::size_t i = 0; i < count; ++i)
        target[i] = table[source[i]];
}

void MapRowPiece(const std::uint8_t* source, std::uint8_t* target, std::int64_t from,
                 std::int64_t to, const RecolorSpans& spans, const std::uint8_t* table) {
    const auto copy = [&](std::int64_t a, std::int64_t b) {
        if (target != source)
            std::memcpy(target + (a - from), source + (a - from), static_cast<std::size_t>(b - a));
    };
    std::int64_t x = from;
    for (int s = 0; s < spans.count; ++s) {
        const std::int64_t a = std::clamp(spans.from[s], from, to);
        const std::int64_t b = std::clamp(spans.to[s], from, to);
        if (a >= b) continue;
        copy(x, a);
        const auto n = static_cast<std::size_t>(b - a);
        MapIndices(source + (a - from), target + (a - from), n, table);
        x = b;
    }
    copy(x, to);
}

}  // namespace tintwell
