#include "settings/INIKey.h"

#include <limits>

#include "settings/IniNumber.h"

namespace tintwell {
namespace {

// The number a name reads as, NaN when it is not numeric. Plain digits, the
// names the program writes, are read here; anything else by IsNumericName.
double NameNumber(std::string_view name) {
    if (!name.empty() && name.size() <= 15) {
        double n = 0;
        std::size_t i = 0;
        for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i)
            n = n * 10 + (name[i] - '0');
        if (i == name.size()) return n;
    }
    double rounded = 0;
    return IsNumericName(name, rounded) ? rounded : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

INIKey::INIKey(std::string_view name, std::string_view value)
    : nameLength_(name.size()), number_(NameNumber(name)) {
    text_.reserve(name.size() + value.size());
    text_.append(name).append(value);
}

void INIKey::SetName(std::string_view name) {
    *this = INIKey(name, Value());
}

void INIKey::SetValue(std::string_view value) {
    text_.replace(nameLength_, std::string::npos, value);
}

}  // namespace tintwell
