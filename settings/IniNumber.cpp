#include "settings/IniNumber.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace tintwell {
namespace {

constexpr std::int64_t kExponentCap = 1'000'000'000;  // far beyond any representable scale

// A decimal number as digits and a power of ten: value = digits x 10^scale.
struct Decimal {
    bool negative = false;
    std::string digits;  // significant digits, no leading zeros; empty means 0
    std::int64_t scale = 0;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void AppendDigit(Decimal& d, char c) {
    if (d.digits.empty() && c == '0') return;
    d.digits.push_back(c);
}

std::int64_t AddDigitSaturating(std::int64_t value, int digit) {
    if (value > kExponentCap) return value;
    return value * 10 + digit;
}

// Rounds half to even; nothing when the magnitude has more than `maxDigits`
// whole digits.
std::optional<std::int64_t> RoundHalfEven(const Decimal& d, std::int64_t maxDigits) {
    const auto n = static_cast<std::int64_t>(d.digits.size());
    if (n == 0) return 0;
    const std::int64_t whole = n + d.scale;  // digits before the point
    if (whole > maxDigits) return std::nullopt;
    std::int64_t value = 0;
    for (std::int64_t i = 0; i < whole; ++i)
        value = value * 10 + (i < n ? d.digits[static_cast<std::size_t>(i)] - '0' : 0);
    if (whole < n) {
        // The first digit after the point decides, the rest only break a tie.
        // With whole < 0 that first digit is a dropped leading zero.
        const char first = whole >= 0 ? d.digits[static_cast<std::size_t>(whole)] : '0';
        bool restNonZero = false;
        for (std::int64_t i = (whole >= 0 ? whole + 1 : 0); i < n && !restNonZero; ++i)
            restNonZero = d.digits[static_cast<std::size_t>(i)] != '0';
        if (first > '5' || (first == '5' && (restNonZero || value % 2 == 1))) ++value;
    }
    return d.negative ? -value : value;
}

std::int32_t Clamp32(std::int64_t v) {
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

// Reads characters left to right, skipping blanks, tabs and line feeds.
class BlankSkippingReader {
  public:
    explicit BlankSkippingReader(std::string_view text) : text_(text) {}
    char Peek() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n'))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void Next() { ++pos_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

int RadixDigit(char c, int radix) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v >= 0 && v < radix ? v : -1;
}

std::int32_t ScanRadix(BlankSkippingReader& in, int radix) {
    std::int64_t value = 0;
    for (int digit; (digit = RadixDigit(in.Peek(), radix)) >= 0; in.Next()) {
        value = value * radix + digit;
        if (value > std::numeric_limits<std::int32_t>::max())
            value = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    }
    return Clamp32(value);
}

}  // namespace

std::int32_t ScanLong(std::string_view text) {
    BlankSkippingReader in(text);
    if (in.Peek() == '&') {
        in.Next();
        const char kind = in.Peek();
        if (kind == 'H' || kind == 'h') return in.Next(), ScanRadix(in, 16);
        if (kind == 'O' || kind == 'o') return in.Next(), ScanRadix(in, 8);
        return 0;
    }
    Decimal d;
    if (in.Peek() == '+' || in.Peek() == '-') {
        d.negative = in.Peek() == '-';
        in.Next();
    }
    // Without a digit nothing is appended, and no digits read as 0.
    for (; IsDigit(in.Peek()); in.Next())
        AppendDigit(d, in.Peek());
    std::int64_t fractionDigits = 0;
    if (in.Peek() == '.') {
        in.Next();
        for (; IsDigit(in.Peek()); in.Next()) {
            AppendDigit(d, in.Peek());
            ++fractionDigits;
        }
    }
    std::int64_t exponent = 0;
    if (in.Peek() == 'E' || in.Peek() == 'e') {
        in.Next();
        bool negativeExponent = false;
        if (in.Peek() == '+' || in.Peek() == '-') {
            negativeExponent = in.Peek() == '-';
            in.Next();
        }
        for (; IsDigit(in.Peek()); in.Next())
            exponent = AddDigitSaturating(exponent, in.Peek() - '0');
        if (negativeExponent) exponent = -exponent;
    }
    d.scale = exponent - fractionDigits;
    const std::optional<std::int64_t> v = RoundHalfEven(d, 11);
    if (!v)
        return d.negative ? std::numeric_limits<std::int32_t>::min()
                          : std::numeric_limits<std::int32_t>::max();
    return Clamp32(*v);
}

bool IsNumericName(std::string_view name, double& rounded) {
    // Blanks and tabs around the number do not count.
    const std::size_t first = name.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    name = name.substr(first, name.find_last_not_of(" \t") + 1 - first);
    std::size_t i = 0;
    const auto peek = [&] { return i < name.size() ? name[i] : '\0'; };
    Decimal d;
    if (peek() == '+' || peek() == '-') d.negative = name[i++] == '-';
    bool anyDigit = false;
    for (; IsDigit(peek()); ++i)
        AppendDigit(d, name[i]), anyDigit = true;
    std::int64_t fractionDigits = 0;
    if (peek() == '.') {
        for (++i; IsDigit(peek()); ++i) {
            AppendDigit(d, name[i]);
            ++fractionDigits;
            anyDigit = true;
        }
    }
    if (!anyDigit) return false;
    std::int64_t exponent = 0;
    if (peek() == 'E' || peek() == 'e') {
        ++i;
        bool negativeExponent = false;
        if (peek() == '+' || peek() == '-') negativeExponent = name[i++] == '-';
        if (!IsDigit(peek())) return false;
        for (; IsDigit(peek()); ++i)
            exponent = AddDigitSaturating(exponent, name[i] - '0');
        if (negativeExponent) exponent = -exponent;
    }
    if (i != name.size()) return false;
    d.scale = exponent - fractionDigits;
    const std::optional<std::int64_t> v = RoundHalfEven(d, 18);
    const double infinity = std::numeric_limits<double>::infinity();
    rounded = v ? static_cast<double>(*v) : d.negative ? -infinity : infinity;
    return true;
}

}  // namespace tintwell
