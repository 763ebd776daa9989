#include "workspace/ColorPairs.h"

#include <charconv>
#include <cstdint>
#include <vector>

#include "core/Quoted.h"

namespace tintwell {
namespace {

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

bool ApplyPair(std::string_view pair, ColorMap& map, PairsSeen& seen, std::string& error) {
    const std::size_t colon = pair.find(':');
    if (colon == std::string_view::npos || pair.find(':', colon + 1) != std::string_view::npos) {
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
    return true;
}

std::string Side(int first, int last) {
    return first == last ? std::to_string(first)
                         : std::to_string(first) + "-" + std::to_string(last);
}

}  // namespace

bool ParseNumber(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value >= low && value <= high;
}

bool ApplyPairs(std::string_view text, ColorMap& map, PairsSeen& seen, std::string& error) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view pair = text.substr(start, comma - start);
        if (!ApplyPair(pair, map, seen, error)) return false;
        if (comma == std::string_view::npos) return true;
        start = comma + 1;
    }
}

std::string PairsText(const std::array<std::uint8_t, 256>& entries) {
    std::string text;
    for (int i = 0; i < 256;) {
        if (entries[i] == i) {
            ++i;
            continue;
        }
        int end = i;  // the run's last source
        int step = 0;
        while (end < 255 && entries[end + 1] != end + 1) {
            const int next = entries[end + 1] - entries[end];
            if ((next != 1 && next != -1) || (step != 0 && next != step)) break;
            step = next;
            ++end;
        }
        if (!text.empty()) text += ',';
        text += Side(i, end) + ":" + Side(entries[i], entries[end]);
        i = end + 1;
    }
    return text;
}

}  // namespace tintwell
