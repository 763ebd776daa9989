#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

namespace tintwell {

// One key of an INI section. Name and value share one text (one allocation at
// most, none for short keys), so a document of millions of keys stays small;
// the numeric reading of the name is kept beside it so sorting never re-scans.
class INIKey {
  public:
    INIKey(std::string_view name, std::string_view value);

    std::string_view Name() const { return {text_.data(), nameLength_}; }
    std::string_view Value() const { return std::string_view(text_).substr(nameLength_); }
    void SetName(std::string_view name);
    void SetValue(std::string_view value);

    // Whether the name reads as a decimal number, and that number rounded to a
    // whole number (halves to even).
    bool Numeric() const { return !std::isnan(number_); }
    double Number() const { return number_; }

    // The key order: numeric names first by their rounded value, then the
    // others by byte value (a strict weak order).
    friend bool operator<(const INIKey& a, const INIKey& b) {
        if (a.Numeric() != b.Numeric()) return a.Numeric();
        if (a.Numeric()) return a.number_ < b.number_;
        return a.Name() < b.Name();
    }

  private:
    std::string text_;  // name followed by value
    std::size_t nameLength_ = 0;
    double number_ = 0;  // NaN when the name is not numeric
};

}  // namespace tintwell
