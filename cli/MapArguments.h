#pragma once

#include <string>
#include <string_view>

#include "core/SelectionRect.h"

namespace tintwell::cli {

// "X,Y,W,H": four whole numbers, none negative. 1,1 as size means the whole
// image, as the window's one-pixel selection does.
bool ParseSelection(std::string_view text, SelectionRect& selection, std::string& error);

// A whole number from 1 to 1024.
bool ParseJobs(std::string_view text, int& jobs, std::string& error);

}  // namespace tintwell::cli
