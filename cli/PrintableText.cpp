#include "cli/PrintableText.h"

#include <cstdio>

namespace tintwell::cli {
namespace {

bool Continues(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 character of two bytes or more at `at`, else 0.
std::size_t Utf8Length(std::string_view s, std::size_t at) {
    const auto b = [&](std::size_t i) {
        return at + i < s.size() ? static_cast<unsigned char>(s[at + i]) : 0;
    };
    const unsigned char lead = b(0);
    std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (length == 0 || b(1) < low || b(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!Continues(b(i))) return 0;
    return length;
}

// U+200E, U+200F, U+202A..U+202E and U+2066..U+2069 (marks, embeddings,
// overrides and isolates) and U+061C: they turn the text that follows around.
bool Bidirectional(std::string_view s, std::size_t at, std::size_t length) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[at + i]); };
    if (length == 2) return b(0) == 0xD8 && b(1) == 0x9C;
    if (length != 3 || b(0) != 0xE2) return false;
    return (b(1) == 0x80 && (b(2) == 0x8E || b(2) == 0x8F || (b(2) >= 0xAA && b(2) <= 0xAE))) ||
           (b(1) == 0x81 && b(2) >= 0xA6 && b(2) <= 0xA9);
}

void AppendEscaped(std::string& out, unsigned char c) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
    out += escaped;
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += text[i++];
            continue;
        }
        const std::size_t length = Utf8Length(text, i);
        const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        const bool turns = Bidirectional(text, i, length);
        if (length > 0 && !c1 && !turns) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        for (std::size_t end = i + (c1 || turns ? length : 1); i < end; ++i)
            AppendEscaped(out, static_cast<unsigned char>(text[i]));
    }
    return out;
}

}  // namespace tintwell::cli
