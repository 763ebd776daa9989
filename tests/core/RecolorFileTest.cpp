#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using Bytes = std::vector<std::uint8_t>;

// The path between double quotes, as the messages show it.
std::string Q(const fs::path& path) {
    std::string s = "\"";
    s += path.string();
    s += '"';
    return s;
}

class RecolorFileTest : public ::testing::Test {
  protected:
    ColorMap Shifted() const {
        ColorMap map;
        for (int i = 0; i < 256; ++i)
            map.SetMapping(i, static_cast<std::uint8_t>(255 - i));
        return map;
    }
    bool Recolor(const fs::path& path, bool backup, const ColorMap& map, SelectionRect sel = {},
                 bool outside = false) {
        return RecolorFile(path, backup, sel, outside, map, box);
    }
    fs::path Backups() const { return dir / "Tintwell Backup"; }
    std::vector<std::string> BackupNames() const {
        std::vector<std::string> names;
        if (!fs::exists(Backups())) return names;
        for (const auto& e : fs::directory_iterator(Backups()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void ExpectOneMessage(const std::string& title, const std::string& text) {
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].title, title);
        EXPECT_EQ(box.shown[0].text, text);
        EXPECT_EQ(box.shown[0].buttons, MsgButtons::OK);
    }

    test::TempDir dir;
    test::RecordingMessageBox box;
};

TEST_F(RecolorFileTest, RewritesThePixelsThroughTheMap) {
    const BmpBuilder b = BmpBuilder().Size(6, 4);
    const fs::path path = b.WriteTo(dir / "a.bmp");
    EXPECT_TRUE(Recolor(path, false, Shifted()));
    EXPECT_TRUE(box.shown.empty());
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromFile(path));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(bmp.GetPixelAt(x, y), 255 - static_cast<int>(b.PixelValue(x, y)));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bmp.ColorTableEntry(i), b.PaletteColor(i));
}

TEST_F(RecolorFileTest, IdentityMapKeepsPixelsAndPaletteExact) {
    const BmpBuilder b = BmpBuilder().Size(7, 3).PaletteReserved(0xFF);
    const fs::path path = b.WriteTo(dir / "a.bmp");
    EXPECT_TRUE(Recolor(path, false, ColorMap()));
    const Bytes in = b.Build(), out = BmpBuilder::ReadFile(path);
    ASSERT_EQ(in.size(), out.size());
    // Everything from the colour table on is byte for byte the same.
    EXPECT_TRUE(std::equal(in.begin() + 54, in.end(), out.begin() + 54));
}

TEST_F(RecolorFileTest, LargeHeaderKeepsItsPaletteColours) {
    const BmpBuilder b = BmpBuilder().HeaderSize(108).Size(4, 4);
    const fs::path path = b.WriteTo(dir / "a.bmp");
    EXPECT_TRUE(Recolor(path, false, Shifted()));
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromFile(path));
    EXPECT_EQ(bmp.InfoHeader().biSize, 108);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bmp.ColorTableEntry(i), b.PaletteColor(i)) << i;
}

TEST_F(RecolorFileTest, MissingFileShowsNotFoundAndMakesNoBackup) {
    const fs::path path = dir / "gone.bmp";
    EXPECT_FALSE(Recolor(path, true, Shifted()));
    ExpectOneMessage("Not Found", Q(path) + " not found.");
    EXPECT_EQ(box.shown[0].icon, MsgIcon::Information);
    EXPECT_FALSE(fs::exists(Backups()));
    box.shown.clear();
    EXPECT_FALSE(Recolor("", false, Shifted()));
    ExpectOneMessage("Not Found", "\"\" not found.");
    box.shown.clear();
    EXPECT_FALSE(Recolor(dir.path(), false, Shifted()));  // a folder is no ordinary file
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(RecolorFileTest, TwentyFourBitFileIsRefusedUnchangedAfterItsBackup) {
    const Bytes original = BmpBuilder().Bits(24).Build();
    const fs::path path = dir / "rgb.bmp";
    BmpBuilder::WriteFile(path, original);
    EXPECT_FALSE(Recolor(path, true, Shifted()));
    ExpectOneMessage("BMP is not 8-bit", Q(path) + " is not a 256 color BMP");
    EXPECT_EQ(box.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(BmpBuilder::ReadFile(path), original);
    EXPECT_EQ(BackupNames(), std::vector<std::string>{"rgb.bmp"});
}

TEST_F(RecolorFileTest, NotABitmapAtAllIsReportedAsNotEightBit) {
    const fs::path path = dir / "text.bmp";
    BmpBuilder::WriteFile(path, {'h', 'e', 'l', 'l', 'o'});
    EXPECT_FALSE(Recolor(path, false, Shifted()));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "BMP is not 8-bit");
    EXPECT_EQ(BmpBuilder::ReadFile(path), (Bytes{'h', 'e', 'l', 'l', 'o'}));
}

TEST_F(RecolorFileTest, FailedLoadOfAnEightBitFileIsNeverWrittenBack) {
    for (const BmpBuilder& b :
         {BmpBuilder().BfOffBits(20), BmpBuilder().BfSize(0), BmpBuilder().BiWidthField(-4)}) {
        box.shown.clear();
        const Bytes original = b.Build();
        const fs::path path = dir / "rle.bmp";
        BmpBuilder::WriteFile(path, original);
        EXPECT_FALSE(Recolor(path, false, Shifted()));
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].title, "BMP not readable");
        EXPECT_EQ(box.shown[0].text.rfind(Q(path) + " could not be read: ", 0), 0u)
            << box.shown[0].text;
        EXPECT_EQ(BmpBuilder::ReadFile(path), original);
    }
}

TEST_F(RecolorFileTest, PixelDataCutShortIsRefusedAndLeftIntact) {
    const BmpBuilder good = BmpBuilder().Size(9, 6);
    // The top row (stored last) loses its padding and its last pixel.
    const Bytes original = BmpBuilder(good).TruncateTo(good.Build().size() - 4).Build();
    const fs::path path = dir / "short.bmp";
    BmpBuilder::WriteFile(path, original);
    EXPECT_FALSE(Recolor(path, false, Shifted()));
    ExpectOneMessage("BMP is incomplete",
                     Q(path) +
                         " is cut short: its pixel data does not cover the whole image. The "
                         "file was left unchanged.");
    EXPECT_EQ(BmpBuilder::ReadFile(path), original);
}

TEST_F(RecolorFileTest, SelectionBeyondTheImageIsClipped) {
    const BmpBuilder b = BmpBuilder().Size(4, 4);
    const fs::path path = b.WriteTo(dir / "a.bmp");
    EXPECT_TRUE(Recolor(path, false, Shifted(), {2, 2, 500, 500}, false));
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromFile(path));
    EXPECT_EQ(bmp.GetPixelAt(1, 1), static_cast<int>(b.PixelValue(1, 1)));
    EXPECT_EQ(bmp.GetPixelAt(3, 3), 255 - static_cast<int>(b.PixelValue(3, 3)));
}

TEST_F(RecolorFileTest, BackupsAreNumberedAndAFreedNumberIsReused) {
    const BmpBuilder b = BmpBuilder().Size(3, 3);
    const fs::path path = b.WriteTo(dir / "a.bmp");
    const Bytes original = b.Build();
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(Recolor(path, true, Shifted()));
    EXPECT_EQ(BackupNames(),
              (std::vector<std::string>{"a-001.bmp", "a-002.bmp", "a-003.bmp", "a.bmp"}));
    EXPECT_EQ(BmpBuilder::ReadFile(Backups() / "a.bmp"), original);
    // The fourth backup holds the file as the third recolour left it.
    const Bytes beforeFifth = BmpBuilder::ReadFile(path);
    fs::remove(Backups() / "a-001.bmp");
    ASSERT_TRUE(Recolor(path, true, Shifted()));
    EXPECT_EQ(BmpBuilder::ReadFile(Backups() / "a-001.bmp"), beforeFifth);
    EXPECT_EQ(BackupNames().size(), 4u);
}

TEST_F(RecolorFileTest, UpperCaseExtensionGetsLowerCaseNumberedNames) {
    const fs::path path = BmpBuilder().WriteTo(dir / "sky.night.BMP");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Recolor(path, true, Shifted()));
    EXPECT_EQ(BackupNames(), (std::vector<std::string>{"sky.night-001.bmp", "sky.night-002.bmp",
                                                       "sky.night.BMP"}));
}

TEST_F(RecolorFileTest, NameWithoutADotIsNumberedWhole) {
    const fs::path path = BmpBuilder().WriteTo(dir / "plain");
    fs::create_directory(Backups());
    BmpBuilder::WriteFile(Backups() / "plain", {1});
    EXPECT_EQ(NextBackupPath(path, Backups()), Backups() / "plain-001.bmp");
}

TEST_F(RecolorFileTest, WhenAllNumbersAreTakenThe999thIsOverwritten) {
    const fs::path path = BmpBuilder().WriteTo(dir / "t.bmp");
    fs::create_directory(Backups());
    BmpBuilder::WriteFile(Backups() / "t.bmp", {0});
    char name[32];
    for (int n = 1; n <= 999; ++n) {
        std::snprintf(name, sizeof name, "t-%03d.bmp", n);
        BmpBuilder::WriteFile(Backups() / name, {0});
    }
    const Bytes original = BmpBuilder::ReadFile(path);
    ASSERT_TRUE(Recolor(path, true, Shifted()));
    EXPECT_EQ(BmpBuilder::ReadFile(Backups() / "t-999.bmp"), original);
    EXPECT_EQ(BmpBuilder::ReadFile(Backups() / "t-998.bmp"), Bytes{0});
}

TEST_F(RecolorFileTest, BackupFailureLeavesTheFileAndIsReported) {
    const Bytes original = BmpBuilder().Build();
    const fs::path path = dir / "a.bmp";
    BmpBuilder::WriteFile(path, original);
    // A regular file already holds the backup folder's name.
    BmpBuilder::WriteFile(Backups(), {1});
    EXPECT_FALSE(Recolor(path, true, Shifted()));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "Backup Failed");
    EXPECT_EQ(box.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(box.shown[0].text.rfind(Q(path) + " was not recolored", 0), 0u);
    EXPECT_EQ(BmpBuilder::ReadFile(path), original);
}

TEST_F(RecolorFileTest, BackupFolderThatCannotBeCreatedLeavesTheFile) {
    // The backup folder would have to be made inside a regular file.
    std::string why;
    BmpBuilder::WriteFile(dir / "notafolder", {1});
    fs::path made;
    EXPECT_FALSE(MakeBackup(dir / "notafolder" / "x.bmp", made, why));
    EXPECT_NE(why.find("Tintwell Backup"), std::string::npos);
}

TEST_F(RecolorFileTest, BackupIsCompleteBeforeTheRewrite) {
    const BmpBuilder b = BmpBuilder().Size(300, 200);
    const fs::path path = b.WriteTo(dir / "big.bmp");
    ASSERT_TRUE(Recolor(path, true, Shifted()));
    EXPECT_EQ(BmpBuilder::ReadFile(Backups() / "big.bmp"), b.Build());
    EXPECT_NE(BmpBuilder::ReadFile(path), b.Build());
}

TEST_F(RecolorFileTest, BackupIsAFileOfItsOwnAfterTheRewrite) {
    const BmpBuilder b = BmpBuilder().Size(5, 5);
    const fs::path path = b.WriteTo(dir / "a.bmp");
    ASSERT_TRUE(Recolor(path, true, Shifted()));
    struct stat file {
    }, copy{};
    ASSERT_EQ(::stat(path.c_str(), &file), 0);
    ASSERT_EQ(::stat((Backups() / "a.bmp").c_str(), &copy), 0);
    EXPECT_NE(file.st_ino, copy.st_ino);
    EXPECT_EQ(copy.st_nlink, 1u);
    EXPECT_EQ(BmpBuilder::ReadFile(Backups() / "a.bmp"), b.Build());
}

TEST_F(RecolorFileTest, FileWithASecondNameIsBackedUpAsACopy) {
    const BmpBuilder b = BmpBuilder().Size(5, 5);
    const fs::path path = b.WriteTo(dir / "a.bmp");
    fs::create_hard_link(path, dir / "other-name.bmp");
    ASSERT_TRUE(Recolor(path, true, Shifted()));
    struct stat other {
    }, copy{};
    ASSERT_EQ(::stat((dir / "other-name.bmp").c_str(), &other), 0);
    ASSERT_EQ(::stat((Backups() / "a.bmp").c_str(), &copy), 0);
    EXPECT_NE(other.st_ino, copy.st_ino);
    EXPECT_EQ(BmpBuilder::ReadFile(Backups() / "a.bmp"), b.Build());
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "other-name.bmp"), b.Build());
}

TEST_F(RecolorFileTest, RefusedFileGetsABackupOfItsOwn) {
    const fs::path path = BmpBuilder().Bits(4).WriteTo(dir / "four.bmp");
    EXPECT_FALSE(Recolor(path, true, Shifted()));
    struct stat file {
    }, copy{};
    ASSERT_EQ(::stat(path.c_str(), &file), 0);
    ASSERT_EQ(::stat((Backups() / "four.bmp").c_str(), &copy), 0);
    EXPECT_NE(file.st_ino, copy.st_ino);
    EXPECT_EQ(file.st_nlink, 1u);
}

TEST_F(RecolorFileTest, SymbolicLinkIsBackedUpWithItsTargetsContents) {
    const BmpBuilder b = BmpBuilder().Size(3, 3);
    fs::create_directory(dir / "real");
    b.WriteTo(dir / "real" / "t.bmp");
    fs::create_symlink("real/t.bmp", dir / "link.bmp");
    ASSERT_TRUE(Recolor(dir / "link.bmp", true, Shifted()));
    EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
    EXPECT_FALSE(fs::is_symlink(Backups() / "link.bmp"));
    EXPECT_EQ(BmpBuilder::ReadFile(Backups() / "link.bmp"), b.Build());
    EXPECT_NE(BmpBuilder::ReadFile(dir / "real" / "t.bmp"), b.Build());
}

// Files may grow to `bytes` at most while this lives (works as root too).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(RecolorFileTest, SaveFailureLeavesTheFileAndIsReported) {
    const Bytes original = BmpBuilder().Build();
    const fs::path path = dir / "a.bmp";
    BmpBuilder::WriteFile(path, original);
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(Recolor(path, false, Shifted()));
    }
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "Save Failed");
    EXPECT_EQ(box.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(box.shown[0].text.rfind(Q(path) + " could not be written: ", 0), 0u);
    EXPECT_EQ(BmpBuilder::ReadFile(path), original);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(RecolorFileTest, SaveFailureAfterABackupLeavesNoSharedBackup) {
    const Bytes original = BmpBuilder().Build();
    const fs::path path = dir / "a.bmp";
    BmpBuilder::WriteFile(path, original);
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(Recolor(path, true, Shifted()));
    }
    // The copy that replaces the unusable link cannot be written either.
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "Backup Failed");
    EXPECT_EQ(BmpBuilder::ReadFile(path), original);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 1u);  // the backup, if any, is not a second name of the file
}

TEST_F(RecolorFileTest, RelativePathPutsTheBackupFolderInTheCurrentFolder) {
    EXPECT_EQ(BackupFolderFor("a.bmp"), fs::path("Tintwell Backup"));
    EXPECT_EQ(BackupFolderFor("/x/y/a.bmp"), fs::path("/x/y/Tintwell Backup"));
}

TEST(RecolorProblems, AreFoundInOrder) {
    clsBitmap rgb;
    ASSERT_TRUE(rgb.LoadFromByteArray(BmpBuilder().Bits(24).Build()));
    EXPECT_EQ(FindRecolorProblem(rgb, true), RecolorProblem::NotEightBit);
    clsBitmap good;
    ASSERT_TRUE(good.LoadFromByteArray(BmpBuilder().Build()));
    EXPECT_EQ(FindRecolorProblem(good, true), RecolorProblem::None);
    EXPECT_EQ(FindRecolorProblem(good, false), RecolorProblem::LoadFailed);
    clsBitmap empty;
    EXPECT_EQ(FindRecolorProblem(empty, false), RecolorProblem::NotEightBit);
}

}  // namespace
}  // namespace tintwell
