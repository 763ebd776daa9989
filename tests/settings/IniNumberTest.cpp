#include <gtest/gtest.h>

#include <limits>

#include "settings/IniNumber.h"

namespace tintwell {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct ScanCase {
    const char* text;
    std::int32_t expected;
};

TEST(ScanLong, ReadsTheTableOfCases) {
    const ScanCase cases[] = {
        // No digits at all reads 0.
        ScanCase{"", 0}, ScanCase{"abc", 0}, ScanCase{"-", 0}, ScanCase{".", 0}, ScanCase{"&", 0},
        ScanCase{"&X1", 0}, ScanCase{"e5", 0},
        // Plain numbers and where the scan stops.
        ScanCase{"0", 0}, ScanCase{"-1", -1}, ScanCase{"+7", 7}, ScanCase{"255", 255},
        ScanCase{"12abc", 12}, ScanCase{"12-3", 12}, ScanCase{"1.2.3", 1}, ScanCase{"007", 7},
        // Blanks, tabs and line feeds are skipped wherever they stand.
        ScanCase{"1 000", 1000}, ScanCase{"  42", 42}, ScanCase{"\t4\n2", 42}, ScanCase{"- 5", -5},
        ScanCase{"1 e 3", 1000},
        // Rounding half to even, both signs.
        ScanCase{"2.5", 2}, ScanCase{"3.5", 4}, ScanCase{"0.5", 0}, ScanCase{"1.5", 2},
        ScanCase{"-2.5", -2}, ScanCase{"-3.5", -4}, ScanCase{"2.51", 3}, ScanCase{"2.49999", 2},
        ScanCase{"2.500000000000000000001", 3}, ScanCase{"0.05", 0}, ScanCase{".6", 1},
        ScanCase{"-0.4", 0},
        // Exponents.
        ScanCase{"1e3", 1000}, ScanCase{"1E+3", 1000}, ScanCase{"25e-1", 2}, ScanCase{"35E-1", 4},
        ScanCase{"1e", 1}, ScanCase{"1e+", 1}, ScanCase{"2880", 2880},
        ScanCase{"1e-999999999999", 0}, ScanCase{"5e-1", 0},
        // Hexadecimal and octal.
        ScanCase{"&HFF", 255}, ScanCase{"&hff", 255}, ScanCase{"&H", 0}, ScanCase{"&HFG", 15},
        ScanCase{"&O17", 15}, ScanCase{"&o18", 1}, ScanCase{"&H7FFFFFFF", kMax},
        ScanCase{"&HFFFFFFFFFFFFFFFFFFFF", kMax},
        // Outside the 32-bit range: clamped, never wrapped.
        ScanCase{"2147483647", kMax}, ScanCase{"2147483648", kMax}, ScanCase{"-2147483648", kMin},
        ScanCase{"-2147483649", kMin}, ScanCase{"99999999999999999999999999", kMax},
        ScanCase{"-1e300", kMin}, ScanCase{"1e999999999999999999", kMax},
        ScanCase{"2147483646.5", 2147483646}, ScanCase{"2147483647.5", kMax}};
    for (const ScanCase& c : cases)
        EXPECT_EQ(ScanLong(c.text), c.expected) << "text: \"" << c.text << '"';
}

TEST(IsNumericName, AcceptsDecimalNumbersOnly) {
    double v = 0;
    EXPECT_TRUE(IsNumericName("17", v));
    EXPECT_EQ(v, 17);
    EXPECT_TRUE(IsNumericName(" -3 ", v));
    EXPECT_EQ(v, -3);
    EXPECT_TRUE(IsNumericName("2.5", v));
    EXPECT_EQ(v, 2);
    EXPECT_TRUE(IsNumericName("1e2", v));
    EXPECT_EQ(v, 100);
    EXPECT_TRUE(IsNumericName("1e40", v));
    EXPECT_EQ(v, std::numeric_limits<double>::infinity());
    for (const char* text : {"", " ", "Name", "12a", "&HFF", "1e", "+", "1 2", "."})
        EXPECT_FALSE(IsNumericName(text, v)) << text;
}

}  // namespace
}  // namespace tintwell
