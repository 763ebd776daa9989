#pragma once

#include <span>

#include "bitmap/BitmapTexts.h"

namespace tintwell {

// The titles, texts and patterns of the messages about the settings file.
std::span<const char* const> SettingsTexts();

}  // namespace tintwell
