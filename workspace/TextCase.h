#pragma once

#include <string>
#include <string_view>

namespace tintwell {

// Letter case for names the user types (stored colour maps, file names in a
// listing), for all of Unicode and without a locale, so that the window and
// the command line compare names alike.

// `utf8` with every code point replaced by its full upper-case mapping ("ß"
// becomes "SS"), as QString::toUpper does. Bytes that are not valid UTF-8 are
// kept as they are.
std::string UpperCase(std::string_view utf8);

}  // namespace tintwell
