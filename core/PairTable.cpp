#include "core/PairTable.h"

#include <cstring>

#include "core/MapIndices.h"

namespace tintwell {

PairTable::PairTable(const std::uint8_t* table) : pairs_(65536) {
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        pairs_[i] = static_cast<std::uint16_t>(table[i & 0xFF] | (table[i >> 8] << 8));
    }
}

// Eight bytes at a time, two per lookup: the pair table serves either byte
// order, since entry (a, b) holds (table[a], table[b]) in the same places.
void PairTable::Map(const std::uint8_t* source, std::uint8_t* target, std::size_t count,
                    const std::uint8_t* table) const {
    const std::uint16_t* t = pairs_.data();
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t in;
        std::memcpy(&in, source + i, 8);
        const std::uint64_t out =
            std::uint64_t{t[in & 0xFFFF]} | (std::uint64_t{t[(in >> 16) & 0xFFFF]} << 16) |
            (std::uint64_t{t[(in >> 32) & 0xFFFF]} << 32) | (std::uint64_t{t[in >> 48]} << 48);
        std::memcpy(target + i, &out, 8);
    }
    MapIndices(source + i, target + i, count - i, table);
}

}  // namespace tintwell
