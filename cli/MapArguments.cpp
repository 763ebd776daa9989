#include "cli/MapArguments.h"

#include <cstdint>
#include <vector>

#include "core/Quoted.h"
#include "workspace/ColorPairs.h"

namespace tintwell::cli {
namespace {

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
