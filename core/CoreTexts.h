#pragma once

#include <span>

#include "bitmap/BitmapTexts.h"

namespace tintwell {

// The titles, texts and patterns of the messages that the recolouring,
// restoring and export logic hands to the windows.
std::span<const char* const> CoreTexts();

}  // namespace tintwell
