// Fuzz target: the number scanner behind ReadLong. No undefined behaviour on
// any text, always a clamped 32-bit value, agreement with an independent
// reading of plain decimal and hexadecimal text, and a sign in front of a
// number negating it.
#include <cmath>
#include <limits>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "settings/IniNumber.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tintwell::ScanLong;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::int64_t value = ScanLong(text);
    FUZZ_CHECK(value >= -kMax - 1 && value <= kMax);
    // "ddd.ddd" with at most 9 whole and 5 fraction digits: a double rounds it exactly.
    const std::size_t whole = text.find_first_not_of("0123456789");
    const std::size_t end = whole == std::string::npos || text[whole] != '.'
                                ? whole
                                : text.find_first_not_of("0123456789", whole + 1);
    if (size > 0 && end == std::string::npos && std::min(whole, size) <= 9 &&
        size - std::min(whole, size) <= 6 && text != ".") {
        FUZZ_CHECK(value ==
                   static_cast<std::int64_t>(std::nearbyint(std::strtod(text.c_str(), nullptr))));
        FUZZ_CHECK(ScanLong(" +\t" + text + "\n") == value);
    }
    if (size >= 3 && size <= 10 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h') &&
        text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos)
        FUZZ_CHECK(value ==
                   std::min<std::int64_t>(std::strtoll(text.c_str() + 2, nullptr, 16), kMax));
    const std::size_t first = text.find_first_not_of(" \t\n");
    if (first != std::string::npos && text[first] >= '0' && text[first] <= '9') {
        const std::int64_t negated = ScanLong("-" + text);  // the clamp allows one more below
        FUZZ_CHECK(value < kMax ? negated == -value : negated <= -kMax);
        FUZZ_CHECK(ScanLong("+" + text) == value);
    }
    return 0;
}
