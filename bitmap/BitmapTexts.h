#pragma once

#include <span>

// Marks a text of the logic that a window may show, for translators: Qt's
// lupdate reads the mark (as QT_TRANSLATE_NOOP), the code sees the English
// text. In a pattern, %1, %2, ... stand for the parts the code fills in
// (paths, numbers, the system's reason, or another marked text).
#define TINTWELL_TEXT(context, text) text

namespace tintwell {

// The texts and patterns that the bitmap layer's errors are made of.
std::span<const char* const> BitmapTexts();

}  // namespace tintwell
