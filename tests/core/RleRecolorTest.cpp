// Random RLE8 streams with every escape, recoloured through RecolorFile with
// random maps and selections, decode to what recolouring the uncompressed
// image gives. With a map for the whole image only the index bytes change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "core/RecolorSpans.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

using test::BmpBuilder;
using Bytes = std::vector<std::uint8_t>;

// A stream, the image it decodes to (stream order: bottom row first), where
// its index bytes are, and how many pixels it sets.
struct RandomStream {
    Bytes stream, pixels;
    std::vector<std::size_t> indexBytes;
    int set = 0;
};

RandomStream MakeStream(std::mt19937& rng, int w, int h) {
    RandomStream r;
    r.pixels.assign(static_cast<std::size_t>(w * h), 0);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto put = [&](int x, int row, std::uint8_t v) {
        r.indexBytes.push_back(r.stream.size());
        r.stream.push_back(v);
        r.pixels[static_cast<std::size_t>(row * w + x)] = v;
        ++r.set;
    };
    for (int x = 0, row = 0; row < h;) {
        const int left = w - x, op = pick(12);
        if (left == 0 || op == 0) {  // end of line, or of the bitmap
            if (row == h - 1 || pick(15) == 0) break;
            r.stream.insert(r.stream.end(), {0, 0});
            ++row, x = 0;
        } else if (op == 1) {  // delta
            const int dx = pick(left + 1), dy = pick(h - row);
            r.stream.insert(r.stream.end(),
                            {0, 2, static_cast<std::uint8_t>(dx), static_cast<std::uint8_t>(dy)});
            x += dx, row += dy;
        } else if (op < 5 && left >= 3) {  // absolute run, padded to a word
            const int n = 3 + pick(std::min(left, 255) - 2);
            r.stream.insert(r.stream.end(), {0, static_cast<std::uint8_t>(n)});
            for (int i = 0; i < n; ++i)
                put(x + i, row, static_cast<std::uint8_t>(pick(6) * 50));
            if (n % 2) r.stream.push_back(0xEE);
            x += n;
        } else {  // a run of one value
            const int n = 1 + pick(std::min(left, 255));
            r.stream.push_back(static_cast<std::uint8_t>(n));
            const std::uint8_t v = static_cast<std::uint8_t>(pick(6) * 50);
            for (int i = 0; i < n; ++i)
                r.pixels[static_cast<std::size_t>(row * w + x + i)] = v;
            r.set += n - 1;
            put(x, row, v);
            x += n;
        }
    }
    r.stream.insert(r.stream.end(), {0, 1});
    return r;
}

TEST(RleRecolor, RandomStreamsDecodeToTheUncompressedResult) {
    std::mt19937 rng(12);
    test::TempDir dir;
    const Bytes profile = {'i', 'c', 'c', '!'};
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 9);
        const RandomStream s = MakeStream(rng, w, h);
        ColorMap map;
        for (int i = 0; i < 256 && round % 7; ++i)
            map.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(rng()));
        const bool outside = rng() & 1;
        SelectionRect sel;
        if (round % 3)
            sel = {int(rng() % 50) - 5, int(rng() % 12) - 2, int(rng() % 40) - 2,
                   int(rng() % 10) - 1};
        const BmpBuilder b = BmpBuilder().Size(w, h).Rle(s.stream).HeaderSize(124).Profile(profile);
        const Bytes before = BmpBuilder(b).Trailing({1, 2, 3}).Build();
        const auto path = dir / "a.bmp";
        BmpBuilder::WriteFile(path, before);
        test::RecordingMessageBox box;
        ASSERT_TRUE(RecolorFile(path, false, sel, outside, map, box));

        clsBitmap expected;
        ASSERT_TRUE(expected.CreateNew(w, h, 8));
        for (int i = 0; i < w * h; ++i)
            expected.SetPixelAt(i % w, h - 1 - i / w, s.pixels[static_cast<std::size_t>(i)]);
        RecolorBitmap(expected, map, sel, outside);
        clsBitmap after;
        ASSERT_TRUE(after.LoadFromFile(path) && after.StreamDamage().empty());
        EXPECT_EQ(after.InfoHeader().biCompression, 1);
        ASSERT_TRUE(std::ranges::equal(after.Pixels(), expected.Pixels()));

        const Bytes bytes = BmpBuilder::ReadFile(path);
        // The profile and the bytes behind the stream follow it, wherever it ends.
        std::uint32_t at = 0;
        std::memcpy(&at, bytes.data() + 14 + 112, 4);
        ASSERT_TRUE(std::equal(profile.begin(), profile.end(), bytes.begin() + 14 + at));
        EXPECT_EQ(Bytes(bytes.end() - 3, bytes.end()), (Bytes{1, 2, 3}));
        if (!RecolorSpans::CoverImage(sel, outside, w, h) || (s.set < w * h && map[0] != 0))
            continue;
        Bytes edited = before;
        for (std::size_t i : s.indexBytes) {
            auto& v = edited[static_cast<std::size_t>(b.PixelStart()) + i];
            v = map[v];
        }
        ASSERT_EQ(bytes, edited);
    }
}

}  // namespace
}  // namespace tintwell
