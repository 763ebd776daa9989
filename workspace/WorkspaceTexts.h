#pragma once

#include <span>

#include "bitmap/BitmapTexts.h"

namespace tintwell {

// The texts and patterns of the messages that the workspace hands to the windows.
std::span<const char* const> WorkspaceTexts();

}  // namespace tintwell
