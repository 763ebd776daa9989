// The malformed-file corpus: each case is a one-line change to a good file.
// For every case: what the load says, and that RecolorFile either rewrites the
// file completely and correctly or leaves it byte-identical with one message,
// and that a backup, when asked for, is a complete copy of the original.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "MalformedCorpus.h"
#include "bitmap/clsBitmap.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using Bytes = std::vector<std::uint8_t>;
using test::Case;
using test::Corpus;
using test::kGood;
using test::Outcome;

ColorMap Inverted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    return map;
}

std::string TitleOf(Outcome o) {
    switch (o) {
        case Outcome::Recoloured:
            return "";
        case Outcome::NotEightBit:
            return "BMP is not 8-bit";
        case Outcome::NotReadable:
            return "BMP not readable";
        case Outcome::Incomplete:
            return "BMP is incomplete";
        case Outcome::Unsupported:
            return "BMP is not supported";
        case Outcome::Damaged:
            return "BMP is damaged";
    }
    return "?";
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class MalformedFile : public ::testing::TestWithParam<Case> {
  protected:
    // Recolours a fresh copy of the case's bytes and checks the outcome.
    void CheckRecolor(bool backup) {
        const Case& c = GetParam();
        const Bytes original = c.bytes();
        test::TempDir dir;
        const fs::path file = dir / "case.bmp";
        BmpBuilder::WriteFile(file, original);
        test::RecordingMessageBox box;
        const bool done = RecolorFile(file, backup, SelectionRect{}, false, Inverted(), box);
        const Bytes after = BmpBuilder::ReadFile(file);

        EXPECT_EQ(done, c.recolor == Outcome::Recoloured);
        if (done) {
            EXPECT_TRUE(box.shown.empty());
            ExpectRecolouredCopyOf(original, file);
        } else {
            EXPECT_EQ(after, original) << "a refused file must stay byte-identical";
            ASSERT_EQ(box.shown.size(), 1u);
            EXPECT_EQ(box.shown[0].title, TitleOf(c.recolor));
            EXPECT_NE(box.shown[0].text.find(file.string()), std::string::npos);
        }
        if (backup) {
            // Made before the file is examined; always a complete copy.
            ASSERT_EQ(Names(dir.path()), (std::vector<std::string>{"Tintwell Backup", "case.bmp"}));
            ASSERT_EQ(Names(dir / "Tintwell Backup"), std::vector<std::string>{"case.bmp"});
            EXPECT_EQ(BmpBuilder::ReadFile(dir / "Tintwell Backup" / "case.bmp"), original);
        } else {
            EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"case.bmp"});
        }
    }

  public:
    // The rewritten file holds the original's palette and its pixels mapped,
    // everything else as a save writes it.
    static void ExpectRecolouredCopyOf(const Bytes& original, const fs::path& file) {
        clsBitmap before, after;
        ASSERT_TRUE(before.LoadFromByteArray(original));
        ASSERT_TRUE(after.LoadFromFile(file)) << after.LastError();
        EXPECT_EQ(after.ColorTable(), before.ColorTable());
        EXPECT_EQ(after.Width(), before.Width());
        EXPECT_EQ(after.InfoHeader().biHeight, before.InfoHeader().biHeight);
        ASSERT_EQ(after.Pixels().size(), before.Pixels().size());
        for (std::int32_t y = 0; y < before.Height(); ++y)
            for (std::int32_t x = 0; x < before.Width(); ++x)
                ASSERT_EQ(after.GetPixelAt(x, y), 255 - before.GetPixelAt(x, y)) << x << "," << y;
    }
};

TEST_P(MalformedFile, LoadReportsTheOutcome) {
    const Case& c = GetParam();
    const Bytes bytes = c.bytes();
    clsBitmap fromBytes;
    EXPECT_EQ(fromBytes.LoadFromByteArray(bytes), c.loads);
    EXPECT_EQ(fromBytes.LastError(), c.text);
    EXPECT_LE(fromBytes.Pixels().size(), bytes.size());

    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "case.bmp", bytes);
    clsBitmap fromFile;
    EXPECT_EQ(fromFile.LoadFromFile(dir / "case.bmp"), c.loads);
    EXPECT_EQ(fromFile.LastError(), c.text);
    EXPECT_EQ(fromFile.BitCount(), fromBytes.BitCount());
    EXPECT_EQ(fromFile.ColorTable(), fromBytes.ColorTable());
    EXPECT_TRUE(std::equal(fromFile.Pixels().begin(), fromFile.Pixels().end(),
                           fromBytes.Pixels().begin(), fromBytes.Pixels().end()));
}

TEST_P(MalformedFile, RecolorFileRewritesWhollyOrLeavesTheFileAlone) {
    CheckRecolor(false);
}

TEST_P(MalformedFile, RecolorFileWithBackupMakesACompleteCopyFirst) {
    CheckRecolor(true);
}

INSTANTIATE_TEST_SUITE_P(Corpus, MalformedFile, ::testing::ValuesIn(Corpus()),
                         [](const auto& info) { return info.param.name; });

// Every length of the good file, and of one with a 108-byte header: no crash,
// nothing held beyond the bytes, and RecolorFile rewrites a cut file only when
// every pixel is still there (only the last row's padding is missing), and
// then wholly.
TEST(MalformedFileTruncation, EveryCutLeavesTheFileAlone) {
    for (const BmpBuilder& good : {kGood, BmpBuilder(kGood).HeaderSize(108)}) {
        const Bytes full = good.Build();
        test::TempDir dir;
        const fs::path file = dir / "cut.bmp";
        for (std::size_t n = 0; n < full.size(); ++n) {
            SCOPED_TRACE(n);
            const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
            clsBitmap bmp;
            const bool loaded = bmp.LoadFromByteArray(cut);
            EXPECT_TRUE(loaded || bmp.HasError());
            EXPECT_LE(bmp.Pixels().size(), n);
            BmpBuilder::WriteFile(file, cut);
            test::RecordingMessageBox box;
            const bool whole = loaded && bmp.PixelsCoverImage();
            EXPECT_EQ(whole, n >= full.size() - 3);
            ASSERT_EQ(RecolorFile(file, false, SelectionRect{}, false, Inverted(), box), whole);
            if (whole) {
                MalformedFile::ExpectRecolouredCopyOf(cut, file);
            } else {
                EXPECT_EQ(box.shown.size(), 1u);
                ASSERT_EQ(BmpBuilder::ReadFile(file), cut);
            }
        }
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"cut.bmp"});
    }
}

}  // namespace
}  // namespace tintwell
