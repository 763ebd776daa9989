#pragma once

#include <span>

#include "bitmap/BitmapTexts.h"

namespace tintwell {

// The texts and patterns that the PNG layer's reasons are made of.
std::span<const char* const> PngTexts();

}  // namespace tintwell
