#pragma once

#include <string>
#include <string_view>

namespace tintwell::cli {

// `text` as it may reach a terminal: every control character is shown as
// \xNN (ESC as \x1b, a NUL as \x00) — C0 controls, DEL, the C1 controls
// U+0080..U+009F — and so is every byte that is not part of valid UTF-8, and
// every character that turns the direction of the text (U+202E, say). A
// stored name or a file name can then neither send terminal codes, nor forge
// a line, nor make the rest of a line read backwards.
std::string PrintableText(std::string_view text);

}  // namespace tintwell::cli
