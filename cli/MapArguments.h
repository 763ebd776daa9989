#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/ColorMap.h"
#include "core/SelectionRect.h"

namespace tintwell::cli {

// Which source indices a command line has mapped so far, and to what.
struct PairsSeen {
    std::array<bool, 256> set{};
};

// Applies "--pairs" text to `map`: a comma-separated list of SOURCE:TARGET,
// each side an index 0..255 or a range A-B (either direction), both sides of
// a pair the same length; ranges pair up element by element in the order
// written ("16-31:47-32" reverses). Giving one source two different targets
// is an error, also across several --pairs options (tracked in `seen`).
// False with `error` set; `map` may then be partly changed.
bool ApplyPairs(std::string_view text, ColorMap& map, PairsSeen& seen, std::string& error);

// "X,Y,W,H": four whole numbers, none negative. 1,1 as size means the whole
// image, as the window's one-pixel selection does.
bool ParseSelection(std::string_view text, SelectionRect& selection, std::string& error);

// A whole number from 1 to 1024.
bool ParseJobs(std::string_view text, int& jobs, std::string& error);

}  // namespace tintwell::cli
