#pragma once

#include <cstddef>
#include <cstdint>

#include "core/RecolorSpans.h"

namespace tintwell {

// The one 8-bit mapping kernel of every recolour (a bitmap, a file, an RLE
// stream, a PNG): each of `count` palette indices from `source` becomes
// its entry in the 256-entry `table`, written to `target` (which may be
// `source`).
void MapIndices(const std::uint8_t* source, std::uint8_t* target, std::size_t count,
                const std::uint8_t* table);

// A piece of one image row: columns [from, to), held at `source` (column
// `from` at source[0]). The columns inside `spans` are mapped into `target`,
// the others copied as they are (nothing to copy when target is source).
void MapRowPiece(const std::uint8_t* source, std::uint8_t* target, std::int64_t from,
                 std::int64_t to, const RecolorSpans& spans, const std::uint8_t* table);

}  // namespace tintwell
