#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "core/modIndexList.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;

clsBitmap EightBit(std::int32_t width, std::int32_t height, const std::vector<int>& indices) {
    clsBitmap bitmap;
    EXPECT_TRUE(bitmap.CreateNew(width, height, 8));
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            bitmap.SetPixelAt(x, y, indices[static_cast<std::size_t>(y * width + x)]);
        }
    }
    return bitmap;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

class IndexListFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("indexlist-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    std::string error;
};

TEST(IndexListText, FieldsAreFourCharactersAndLinesEndInCrLf) {
    const clsBitmap bitmap = EightBit(3, 2, {0, 12, 255, 7, 7, 100});
    EXPECT_EQ(ColorIndexListText(bitmap), "  0, 12,255,\r\n  7,  7,100,\r\n");
}

TEST(IndexListText, OnePixel) {
    EXPECT_EQ(ColorIndexListText(EightBit(1, 1, {5})), "  5,\r\n");
}

TEST(IndexListText, RowsFromTheTopDown) {
    clsBitmap bitmap = EightBit(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(ColorIndexListText(bitmap), "  1,  2,\r\n  3,  4,\r\n  5,  6,\r\n");
}

TEST(IndexListText, NothingForImagesThatAreNotEightBit) {
    for (std::int16_t bits : {1, 4, 24, 32}) {
        clsBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateNew(2, 2, bits));
        EXPECT_EQ(ColorIndexListText(bitmap), "") << bits;
    }
}

TEST(SuggestedIndexListName, CutsAtTheFirstDot) {
    EXPECT_EQ(SuggestedIndexListName("castle.bmp"), "castle.txt");
    EXPECT_EQ(SuggestedIndexListName("a.b.bmp"), "a.txt");
    EXPECT_EQ(SuggestedIndexListName("noext"), "noext.txt");
    EXPECT_EQ(SuggestedIndexListName(""), ".txt");
}

TEST_F(IndexListFile, WritesTheTableBytes) {
    const fs::path path = folder / "out.txt";
    ASSERT_EQ(WriteColorIndexList(EightBit(3, 2, {0, 12, 255, 7, 7, 100}), path, error),
              IndexListResult::Written);
    EXPECT_EQ(ReadAll(path), "  0, 12,255,\r\n  7,  7,100,\r\n");
}

TEST_F(IndexListFile, ReplacesTheContentOfAnExistingFile) {
    const fs::path path = folder / "out.txt";
    WriteAll(path, std::string(5000, 'x'));
    ASSERT_EQ(WriteColorIndexList(EightBit(1, 1, {9}), path, error), IndexListResult::Written);
    EXPECT_EQ(ReadAll(path), "  9,\r\n");
}

TEST_F(IndexListFile, LargeImageSpanningSeveralWriteBlocks) {
    const std::int32_t width = 1000, height = 600;  // about 2.4 MB of text
    std::vector<int> indices(static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<int>(i * 7 % 256);
    const clsBitmap bitmap = EightBit(width, height, indices);
    const fs::path path = folder / "big.txt";
    ASSERT_EQ(WriteColorIndexList(bitmap, path, error), IndexListResult::Written);
    EXPECT_EQ(ReadAll(path), ColorIndexListText(bitmap));
    EXPECT_EQ(fs::file_size(path), static_cast<std::uintmax_t>(height) * (width * 4 + 2));
}

TEST_F(IndexListFile, NotEightBitWritesNothingAndKeepsAnExistingFile) {
    const fs::path path = folder / "kept.txt";
    WriteAll(path, "old");
    clsBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateNew(4, 4, 24));
    EXPECT_EQ(WriteColorIndexList(bitmap, path, error), IndexListResult::NotEightBit);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(WriteColorIndexList(bitmap, folder / "new.txt", error), IndexListResult::NotEightBit);
    EXPECT_FALSE(fs::exists(folder / "new.txt"));
}

TEST_F(IndexListFile, FailureToCreateIsReportedWithAClearText) {
    const fs::path path = folder / "missing folder" / "out.txt";
    EXPECT_EQ(WriteColorIndexList(EightBit(1, 1, {1}), path, error), IndexListResult::Failed);
    EXPECT_NE(error.find("out.txt"), std::string::npos) << error;
    const MessageRequest message = IndexListFailedMessage(error);
    EXPECT_EQ(message.icon, MsgIcon::Error);
    EXPECT_EQ(message.buttons, MsgButtons::OK);
    EXPECT_NE(message.text.find(error), std::string::npos);
}

TEST_F(IndexListFile, IndexListFailureLeavesAnExistingFileWhole) {
    // A bitmap whose pixel bytes stop short fails half way through the rows.
    const fs::path bmp = folder / "short.bmp";
    ASSERT_TRUE(EightBit(4, 300, std::vector<int>(1200, 3)).SaveAsFile(bmp));
    std::string bytes = ReadAll(bmp);
    bytes.resize(bytes.size() - 600);
    clsBitmap cut;
    cut.LoadFromByteArray(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_EQ(cut.BitCount(), 8);
    ASSERT_FALSE(cut.PixelsCoverImage());

    const fs::path path = folder / "kept.txt";
    WriteAll(path, "old list");
    EXPECT_EQ(WriteColorIndexList(cut, path, error), IndexListResult::Failed);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadAll(path), "old list");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace tintwell
