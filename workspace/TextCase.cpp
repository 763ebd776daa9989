#include "workspace/TextCase.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace tintwell {
namespace {

struct UpperRun {
    char32_t first, last;
    std::int32_t delta;
};
struct UpperExpansion {
    char32_t from;
    const char* to;
};

// Generated from the Unicode 14 character database: each code point's full
// upper-case mapping, as QString::toUpper applies it.
// {first, last, delta}: each code point from first to last maps to itself plus
// delta; a run with delta -1 alternates capital and small letters, so there
// only first, first + 2, ... are small.
constexpr UpperRun kUpperRuns[] = {
    {0x61, 0x7A, -32},        {0xB5, 0xB5, 743},       {0xE0, 0xF6, -32},
    {0xF8, 0xFE, -32},        {0xFF, 0xFF, 121},       {0x101, 0x12F, -1},
    {0x131, 0x131, -232},     {0x133, 0x137, -1},      {0x13A, 0x148, -1},
    {0x14B, 0x177, -1},       {0x17A, 0x17E, -1},      {0x17F, 0x17F, -300},
    {0x180, 0x180, 195},      {0x183, 0x185, -1},      {0x188, 0x188, -1},
    {0x18C, 0x18C, -1},       {0x192, 0x192, -1},      {0x195, 0x195, 97},
    {0x199, 0x199, -1},       {0x19A, 0x19A, 163},     {0x19E, 0x19E, 130},
    {0x1A1, 0x1A5, -1},       {0x1A8, 0x1A8, -1},      {0x1AD, 0x1AD, -1},
    {0x1B0, 0x1B0, -1},       {0x1B4, 0x1B6, -1},      {0x1B9, 0x1B9, -1},
    {0x1BD, 0x1BD, -1},       {0x1BF, 0x1BF, 56},      {0x1C5, 0x1C5, -1},
    {0x1C6, 0x1C6, -2},       {0x1C8, 0x1C8, -1},      {0x1C9, 0x1C9, -2},
    {0x1CB, 0x1CB, -1},       {0x1CC, 0x1CC, -2},      {0x1CE, 0x1DC, -1},
    {0x1DD, 0x1DD, -79},      {0x1DF, 0x1EF, -1},      {0x1F2, 0x1F2, -1},
    {0x1F3, 0x1F3, -2},       {0x1F5, 0x1F5, -1},      {0x1F9, 0x21F, -1},
    {0x223, 0x233, -1},       {0x23C, 0x23C, -1},      {0x23F, 0x240, 10815},
    {0x242, 0x242, -1},       {0x247, 0x24F, -1},      {0x250, 0x250, 10783},
    {0x251, 0x251, 10780},    {0x252, 0x252, 10782},   {0x253, 0x253, -210},
    {0x254, 0x254, -206},     {0x256, 0x257, -205},    {0x259, 0x259, -202},
    {0x25B, 0x25B, -203},     {0x25C, 0x25C, 42319},   {0x260, 0x260, -205},
    {0x261, 0x261, 42315},    {0x263, 0x263, -207},    {0x265, 0x265, 42280},
    {0x266, 0x266, 42308},    {0x268, 0x268, -209},    {0x269, 0x269, -211},
    {0x26A, 0x26A, 42308},    {0x26B, 0x26B, 10743},   {0x26C, 0x26C, 42305},
    {0x26F, 0x26F, -211},     {0x271, 0x271, 10749},   {0x272, 0x272, -213},
    {0x275, 0x275, -214},     {0x27D, 0x27D, 10727},   {0x280, 0x280, -218},
    {0x282, 0x282, 42307},    {0x283, 0x283, -218},    {0x287, 0x287, 42282},
    {0x288, 0x288, -218},     {0x289, 0x289, -69},     {0x28A, 0x28B, -217},
    {0x28C, 0x28C, -71},      {0x292, 0x292, -219},    {0x29D, 0x29D, 42261},
    {0x29E, 0x29E, 42258},    {0x345, 0x345, 84},      {0x371, 0x373, -1},
    {0x377, 0x377, -1},       {0x37B, 0x37D, 130},     {0x3AC, 0x3AC, -38},
    {0x3AD, 0x3AF, -37},      {0x3B1, 0x3C1, -32},     {0x3C2, 0x3C2, -31},
    {0x3C3, 0x3CB, -32},      {0x3CC, 0x3CC, -64},     {0x3CD, 0x3CE, -63},
    {0x3D0, 0x3D0, -62},      {0x3D1, 0x3D1, -57},     {0x3D5, 0x3D5, -47},
    {0x3D6, 0x3D6, -54},      {0x3D7, 0x3D7, -8},      {0x3D9, 0x3EF, -1},
    {0x3F0, 0x3F0, -86},      {0x3F1, 0x3F1, -80},     {0x3F2, 0x3F2, 7},
    {0x3F3, 0x3F3, -116},     {0x3F5, 0x3F5, -96},     {0x3F8, 0x3F8, -1},
    {0x3FB, 0x3FB, -1},       {0x430, 0x44F, -32},     {0x450, 0x45F, -80},
    {0x461, 0x481, -1},       {0x48B, 0x4BF, -1},      {0x4C2, 0x4CE, -1},
    {0x4CF, 0x4CF, -15},      {0x4D1, 0x52F, -1},      {0x561, 0x586, -48},
    {0x10D0, 0x10FA, 3008},   {0x10FD, 0x10FF, 3008},  {0x13F8, 0x13FD, -8},
    {0x1C80, 0x1C80, -6254},  {0x1C81, 0x1C81, -6253}, {0x1C82, 0x1C82, -6244},
    {0x1C83, 0x1C84, -6242},  {0x1C85, 0x1C85, -6243}, {0x1C86, 0x1C86, -6236},
    {0x1C87, 0x1C87, -6181},  {0x1C88, 0x1C88, 35266}, {0x1D79, 0x1D79, 35332},
    {0x1D7D, 0x1D7D, 3814},   {0x1D8E, 0x1D8E, 35384}, {0x1E01, 0x1E95, -1},
    {0x1E9B, 0x1E9B, -59},    {0x1EA1, 0x1EFF, -1},    {0x1F00, 0x1F07, 8},
    {0x1F10, 0x1F15, 8},      {0x1F20, 0x1F27, 8},     {0x1F30, 0x1F37, 8},
    {0x1F40, 0x1F45, 8},      {0x1F51, 0x1F51, 8},     {0x1F53, 0x1F53, 8},
    {0x1F55, 0x1F55, 8},      {0x1F57, 0x1F57, 8},     {0x1F60, 0x1F67, 8},
    {0x1F70, 0x1F71, 74},     {0x1F72, 0x1F75, 86},    {0x1F76, 0x1F77, 100},
    {0x1F78, 0x1F79, 128},    {0x1F7A, 0x1F7B, 112},   {0x1F7C, 0x1F7D, 126},
    {0x1FB0, 0x1FB1, 8},      {0x1FBE, 0x1FBE, -7205}, {0x1FD0, 0x1FD1, 8},
    {0x1FE0, 0x1FE1, 8},      {0x1FE5, 0x1FE5, 7},     {0x214E, 0x214E, -28},
    {0x2170, 0x217F, -16},    {0x2184, 0x2184, -1},    {0x24D0, 0x24E9, -26},
    {0x2C30, 0x2C5F, -48},    {0x2C61, 0x2C61, -1},    {0x2C65, 0x2C65, -10795},
    {0x2C66, 0x2C66, -10792}, {0x2C68, 0x2C6C, -1},    {0x2C73, 0x2C73, -1},
    {0x2C76, 0x2C76, -1},     {0x2C81, 0x2CE3, -1},    {0x2CEC, 0x2CEE, -1},
    {0x2CF3, 0x2CF3, -1},     {0x2D00, 0x2D25, -7264}, {0x2D27, 0x2D27, -7264},
    {0x2D2D, 0x2D2D, -7264},  {0xA641, 0xA66D, -1},    {0xA681, 0xA69B, -1},
    {0xA723, 0xA72F, -1},     {0xA733, 0xA76F, -1},    {0xA77A, 0xA77C, -1},
    {0xA77F, 0xA787, -1},     {0xA78C, 0xA78C, -1},    {0xA791, 0xA793, -1},
    {0xA794, 0xA794, 48},     {0xA797, 0xA7A9, -1},    {0xA7B5, 0xA7C3, -1},
    {0xA7C8, 0xA7CA, -1},     {0xA7D1, 0xA7D1, -1},    {0xA7D7, 0xA7D9, -1},
    {0xA7F6, 0xA7F6, -1},     {0xAB53, 0xAB53, -928},  {0xAB70, 0xABBF, -38864},
    {0xFF41, 0xFF5A, -32},    {0x10428, 0x1044F, -40}, {0x104D8, 0x104FB, -40},
    {0x10597, 0x105A1, -39},  {0x105A3, 0x105B1, -39}, {0x105B3, 0x105B9, -39},
    {0x105BB, 0x105BC, -39},  {0x10CC0, 0x10CF2, -64}, {0x118C0, 0x118DF, -32},
    {0x16E60, 0x16E7F, -32},  {0x1E922, 0x1E943, -34},
};
// Code points whose upper case is more than one code point, in UTF-8.
constexpr UpperExpansion kUpperExpansions[] = {
    {0xDF, "\x53\x53"},
    {0x149, "\xCA\xBC\x4E"},
    {0x1F0, "\x4A\xCC\x8C"},
    {0x390, "\xCE\x99\xCC\x88\xCC\x81"},
    {0x3B0, "\xCE\xA5\xCC\x88\xCC\x81"},
    {0x587, "\xD4\xB5\xD5\x92"},
    {0x1E96, "\x48\xCC\xB1"},
    {0x1E97, "\x54\xCC\x88"},
    {0x1E98, "\x57\xCC\x8A"},
    {0x1E99, "\x59\xCC\x8A"},
    {0x1E9A, "\x41\xCA\xBE"},
    {0x1F50, "\xCE\xA5\xCC\x93"},
    {0x1F52, "\xCE\xA5\xCC\x93\xCC\x80"},
    {0x1F54, "\xCE\xA5\xCC\x93\xCC\x81"},
    {0x1F56, "\xCE\xA5\xCC\x93\xCD\x82"},
    {0x1F80, "\xE1\xBC\x88\xCE\x99"},
    {0x1F81, "\xE1\xBC\x89\xCE\x99"},
    {0x1F82, "\xE1\xBC\x8A\xCE\x99"},
    {0x1F83, "\xE1\xBC\x8B\xCE\x99"},
    {0x1F84, "\xE1\xBC\x8C\xCE\x99"},
    {0x1F85, "\xE1\xBC\x8D\xCE\x99"},
    {0x1F86, "\xE1\xBC\x8E\xCE\x99"},
    {0x1F87, "\xE1\xBC\x8F\xCE\x99"},
    {0x1F88, "\xE1\xBC\x88\xCE\x99"},
    {0x1F89, "\xE1\xBC\x89\xCE\x99"},
    {0x1F8A, "\xE1\xBC\x8A\xCE\x99"},
    {0x1F8B, "\xE1\xBC\x8B\xCE\x99"},
    {0x1F8C, "\xE1\xBC\x8C\xCE\x99"},
    {0x1F8D, "\xE1\xBC\x8D\xCE\x99"},
    {0x1F8E, "\xE1\xBC\x8E\xCE\x99"},
    {0x1F8F, "\xE1\xBC\x8F\xCE\x99"},
    {0x1F90, "\xE1\xBC\xA8\xCE\x99"},
    {0x1F91, "\xE1\xBC\xA9\xCE\x99"},
    {0x1F92, "\xE1\xBC\xAA\xCE\x99"},
    {0x1F93, "\xE1\xBC\xAB\xCE\x99"},
    {0x1F94, "\xE1\xBC\xAC\xCE\x99"},
    {0x1F95, "\xE1\xBC\xAD\xCE\x99"},
    {0x1F96, "\xE1\xBC\xAE\xCE\x99"},
    {0x1F97, "\xE1\xBC\xAF\xCE\x99"},
    {0x1F98, "\xE1\xBC\xA8\xCE\x99"},
    {0x1F99, "\xE1\xBC\xA9\xCE\x99"},
    {0x1F9A, "\xE1\xBC\xAA\xCE\x99"},
    {0x1F9B, "\xE1\xBC\xAB\xCE\x99"},
    {0x1F9C, "\xE1\xBC\xAC\xCE\x99"},
    {0x1F9D, "\xE1\xBC\xAD\xCE\x99"},
    {0x1F9E, "\xE1\xBC\xAE\xCE\x99"},
    {0x1F9F, "\xE1\xBC\xAF\xCE\x99"},
    {0x1FA0, "\xE1\xBD\xA8\xCE\x99"},
    {0x1FA1, "\xE1\xBD\xA9\xCE\x99"},
    {0x1FA2, "\xE1\xBD\xAA\xCE\x99"},
    {0x1FA3, "\xE1\xBD\xAB\xCE\x99"},
    {0x1FA4, "\xE1\xBD\xAC\xCE\x99"},
    {0x1FA5, "\xE1\xBD\xAD\xCE\x99"},
    {0x1FA6, "\xE1\xBD\xAE\xCE\x99"},
    {0x1FA7, "\xE1\xBD\xAF\xCE\x99"},
    {0x1FA8, "\xE1\xBD\xA8\xCE\x99"},
    {0x1FA9, "\xE1\xBD\xA9\xCE\x99"},
    {0x1FAA, "\xE1\xBD\xAA\xCE\x99"},
    {0x1FAB, "\xE1\xBD\xAB\xCE\x99"},
    {0x1FAC, "\xE1\xBD\xAC\xCE\x99"},
    {0x1FAD, "\xE1\xBD\xAD\xCE\x99"},
    {0x1FAE, "\xE1\xBD\xAE\xCE\x99"},
    {0x1FAF, "\xE1\xBD\xAF\xCE\x99"},
    {0x1FB2, "\xE1\xBE\xBA\xCE\x99"},
    {0x1FB3, "\xCE\x91\xCE\x99"},
    {0x1FB4, "\xCE\x86\xCE\x99"},
    {0x1FB6, "\xCE\x91\xCD\x82"},
    {0x1FB7, "\xCE\x91\xCD\x82\xCE\x99"},
    {0x1FBC, "\xCE\x91\xCE\x99"},
    {0x1FC2, "\xE1\xBF\x8A\xCE\x99"},
    {0x1FC3, "\xCE\x97\xCE\x99"},
    {0x1FC4, "\xCE\x89\xCE\x99"},
    {0x1FC6, "\xCE\x97\xCD\x82"},
    {0x1FC7, "\xCE\x97\xCD\x82\xCE\x99"},
    {0x1FCC, "\xCE\x97\xCE\x99"},
    {0x1FD2, "\xCE\x99\xCC\x88\xCC\x80"},
    {0x1FD3, "\xCE\x99\xCC\x88\xCC\x81"},
    {0x1FD6, "\xCE\x99\xCD\x82"},
    {0x1FD7, "\xCE\x99\xCC\x88\xCD\x82"},
    {0x1FE2, "\xCE\xA5\xCC\x88\xCC\x80"},
    {0x1FE3, "\xCE\xA5\xCC\x88\xCC\x81"},
    {0x1FE4, "\xCE\xA1\xCC\x93"},
    {0x1FE6, "\xCE\xA5\xCD\x82"},
    {0x1FE7, "\xCE\xA5\xCC\x88\xCD\x82"},
    {0x1FF2, "\xE1\xBF\xBA\xCE\x99"},
    {0x1FF3, "\xCE\xA9\xCE\x99"},
    {0x1FF4, "\xCE\x8F\xCE\x99"},
    {0x1FF6, "\xCE\xA9\xCD\x82"},
    {0x1FF7, "\xCE\xA9\xCD\x82\xCE\x99"},
    {0x1FFC, "\xCE\xA9\xCE\x99"},
    {0xFB00, "\x46\x46"},
    {0xFB01, "\x46\x49"},
    {0xFB02, "\x46\x4C"},
    {0xFB03, "\x46\x46\x49"},
    {0xFB04, "\x46\x46\x4C"},
    {0xFB05, "\x53\x54"},
    {0xFB06, "\x53\x54"},
    {0xFB13, "\xD5\x84\xD5\x86"},
    {0xFB14, "\xD5\x84\xD4\xB5"},
    {0xFB15, "\xD5\x84\xD4\xBB"},
    {0xFB16, "\xD5\x8E\xD5\x86"},
    {0xFB17, "\xD5\x84\xD4\xBD"},
};

// The code point starting at `at` and its length in bytes; length 0 for a
// byte that does not start a valid, shortest-form sequence.
std::pair<char32_t, std::size_t> Decode(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > s.size()) return {0, 0};
    char32_t cp = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return {0, 0};
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < shortest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {0, 0};
    return {cp, length};
}

void Encode(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return;
    }
    const int length = cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(lead[length] | (cp >> (6 * (length - 1))));
    for (int i = length - 2; i >= 0; --i)
        out += static_cast<char>(0x80 | ((cp >> (6 * i)) & 0x3F));
}

void AppendUpper(char32_t cp, std::string& out) {
    const auto expansion =
        std::lower_bound(std::begin(kUpperExpansions), std::end(kUpperExpansions), cp,
                         [](const UpperExpansion& e, char32_t c) { return e.from < c; });
    if (expansion != std::end(kUpperExpansions) && expansion->from == cp) {
        out += expansion->to;
        return;
    }
    const auto run = std::lower_bound(std::begin(kUpperRuns), std::end(kUpperRuns), cp,
                                      [](const UpperRun& r, char32_t c) { return r.last < c; });
    const char32_t step = run != std::end(kUpperRuns) && run->delta == -1 ? 2 : 1;
    if (run != std::end(kUpperRuns) && run->first <= cp && (cp - run->first) % step == 0)
        cp = static_cast<char32_t>(static_cast<std::int32_t>(cp) + run->delta);
    Encode(cp, out);
}

}  // namespace

std::string UpperCase(std::string_view utf8) {
    std::string upper;
    upper.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const auto [cp, length] = Decode(utf8, at);
        if (length == 0) {
            upper += utf8[at++];
            continue;
        }
        AppendUpper(cp, upper);
        at += length;
    }
    return upper;
}

}  // namespace tintwell
