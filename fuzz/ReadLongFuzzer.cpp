// Fuzz target: the number scanner behind ReadLong. No undefined behaviour on
// any text, the result always a clamped 32-bit value, agreement with an
// independent reading for plain decimal and hexadecimal text, and a leading
// minus sign negating the value.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "settings/IniNumber.h"

namespace {

using tintwell::ScanLong;
constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "ddd" or "ddd.ddd" with at most 9 whole and 5 fraction digits: a double holds
// it closely enough that rounding half to even is exact.
bool IsPlainDecimal(const std::string& s) {
    std::size_t i = 0, whole = 0, fraction = 0;
    while (i < s.size() && IsDigit(s[i]))
        ++i, ++whole;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && IsDigit(s[i]); ++i)
            ++fraction;
    return i == s.size() && whole + fraction > 0 && whole <= 9 && fraction <= 5;
}

bool IsPlainHex(const std::string& s) {
    if (s.size() < 3 || s.size() > 10 || s[0] != '&' || (s[1] != 'H' && s[1] != 'h')) return false;
    for (std::size_t i = 2; i < s.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::int64_t value = ScanLong(text);
    FUZZ_CHECK(value >= kMin && value <= kMax);

    if (IsPlainDecimal(text)) {
        const double expected = std::nearbyint(std::strtod(text.c_str(), nullptr));
        FUZZ_CHECK(value == static_cast<std::int64_t>(expected));
        FUZZ_CHECK(ScanLong("-" + text) == -value);
        FUZZ_CHECK(ScanLong(" +\t" + text + "\n") == value);
    }
    if (IsPlainHex(text)) {
        const std::int64_t expected = std::strtoll(text.c_str() + 2, nullptr, 16);
        FUZZ_CHECK(value == std::min(expected, kMax));
    }
    // A sign in front of text that starts with a digit negates it (the clamp
    // allows one more step on the negative side).
    std::size_t first = 0;
    while (first < text.size() &&
           (text[first] == ' ' || text[first] == '\t' || text[first] == '\n'))
        ++first;
    if (first < text.size() && IsDigit(text[first])) {
        const std::int64_t negated = ScanLong("-" + text);
        if (value < kMax)
            FUZZ_CHECK(negated == -value);
        else
            FUZZ_CHECK(negated <= -kMax);
        FUZZ_CHECK(ScanLong("+" + text) == value);
    }
    return 0;
}
