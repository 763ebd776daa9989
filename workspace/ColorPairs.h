#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/ColorMap.h"

namespace tintwell {

// The pairs syntax of colour maps, "3:7,16-31:32-47": a comma-separated list
// of SOURCE:TARGET, each side a palette index 0..255 or a range A-B (either
// direction), both sides of a pair the same length; ranges pair up element by
// element in the order written ("16-31:47-32" reverses).

// Which source indices have been given a target so far.
struct PairsSeen {
    std::array<bool, 256> set{};
};

// Applies `text` to `map`. Giving one source two different targets is an
// error, also across several texts (tracked in `seen`). False with `error`
// set; `map` may then be partly changed.
bool ApplyPairs(std::string_view text, ColorMap& map, PairsSeen& seen, std::string& error);

// The entries of `entries` that change an index, in the pairs syntax: sources
// ascending, runs of neighbouring sources whose targets rise or fall by one
// written as ranges. "" for the identity. ApplyPairs gives the map back.
std::string PairsText(const std::array<std::uint8_t, 256>& entries);

// A whole decimal number made of digits only, within [low, high].
bool ParseNumber(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value);

}  // namespace tintwell
