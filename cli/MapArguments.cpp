#include "cli/MapArguments.h"

#include <charconv>
#include <cstdint>
#include <vector>

namespace tintwell::cli {
namespace {

std::string Quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

// A whole decimal number made of digits only, within [low, high].
bool ParseNumber(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value >= low && value <= high;
}

// One side of a pair: "N" or "A-B"; the indices in the order written.
bool ParseSide(std::string_view side, std::vector<int>& indices, std::string& error) {
    const std::size_t dash = side.find('-');
    std::int64_t a = 0;
    std::int64_t b = 0;
    const std::string_view first = side.substr(0, dash);
    const std::string_view last = dash == std::string_view::npos ? first : side.substr(dash + 1);
    if (!ParseNumber(first, 0, 255, a) || !ParseNumber(last, 0, 255, b)) {
        error = Quoted(side) + " is not a palette index 0 to 255 or a range of them such as 16-31";
        return false;
    }
    const int step = a <= b ? 1 : -1;
    for (std::int64_t i = a;; i += step) {
        indices.push_back(static_cast<int>(i));
        if (i == b) break;
    }
    return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return parts;
}

}  // namespace

bool ApplyPairs(std::string_view text, ColorMap& map, PairsSeen& seen, std::string& error) {
    for (std::string_view pair : Split(text, ',')) {
        const std::size_t colon = pair.find(':');
        if (colon == std::string_view::npos ||
            pair.find(':', colon + 1) != std::string_view::npos) {
            error = Quoted(pair) + " is not a pair SOURCE:TARGET such as 3:7 or 16-31:32-47";
            return false;
        }
        std::vector<int> sources;
        std::vector<int> targets;
        if (!ParseSide(pair.substr(0, colon), sources, error) ||
            !ParseSide(pair.substr(colon + 1), targets, error))
            return false;
        if (sources.size() != targets.size()) {
            error = "the two sides of " + Quoted(pair) + " differ in length (" +
                    std::to_string(sources.size()) + " and " + std::to_string(targets.size()) +
                    " indices)";
            return false;
        }
        for (std::size_t k = 0; k < sources.size(); ++k) {
            const auto source = static_cast<std::uint8_t>(sources[k]);
            const auto target = static_cast<std::uint8_t>(targets[k]);
            if (seen.set[source] && map[source] != target) {
                error = "index " + std::to_string(source) + " is mapped twice (to " +
                        std::to_string(map[source]) + " and to " + std::to_string(target) + ")";
                return false;
            }
            seen.set[source] = true;
            map.SetEntry(source, target);
        }
    }
    return true;
}

bool ParseSelection(std::string_view text, SelectionRect& selection, std::string& error) {
    const std::vector<std::string_view> parts = Split(text, ',');
    std::int64_t v[4] = {};
    bool ok = parts.size() == 4;
    for (std::size_t i = 0; ok && i < 4; ++i)
        ok = ParseNumber(parts[i], 0, INT32_MAX, v[i]);
    if (!ok) {
        error = Quoted(text) +
                " is not a selection X,Y,W,H (left column, top row, width and height in "
                "pixels, none negative)";
        return false;
    }
    selection = {static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]),
                 static_cast<std::int32_t>(v[2]), static_cast<std::int32_t>(v[3])};
    return true;
}

bool ParseJobs(std::string_view text, int& jobs, std::string& error) {
    std::int64_t n = 0;
    if (!ParseNumber(text, 1, 1024, n)) {
        error = Quoted(text) + " is not a number of jobs from 1 to 1024";
        return false;
    }
    jobs = static_cast<int>(n);
    return true;
}

}  // namespace tintwell::cli
