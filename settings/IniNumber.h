#pragma once

#include <cstdint>
#include <string_view>

namespace tintwell {

// Reads text as a number the way INI values are read: blanks, tabs and line
// feeds are skipped wherever they stand; "&H" / "&O" at the start give a
// hexadecimal / octal number; otherwise an optional sign, digits, an optional
// "." and fraction and an optional exponent (E, optional sign, digits). The scan
// stops at the first character that cannot continue the number; text without a
// digit reads 0. The result is rounded half to even and clamped to the 32-bit
// range, computed exactly from the digits (no floating point, no overflow).
std::int32_t ScanLong(std::string_view text);

// Whether a key name reads as a decimal number (digits with an optional sign,
// surrounding blanks, fraction or exponent). When it does, `rounded` receives
// its value rounded to a whole number, halves to even (infinite when huge).
bool IsNumericName(std::string_view name, double& rounded);

}  // namespace tintwell
