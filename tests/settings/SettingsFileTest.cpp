#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FileBytes.h"
#include "settings/SettingsFile.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RecordingMessageBox;
using test::TempDir;
using test::WriteBytes;

ColorMapEntries Identity() {
    ColorMapEntries map{};
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(i);
    return map;
}

class Settings : public testing::Test {
  protected:
    // Writes the settings file, then loads it.
    void Given(const std::string& text) {
        WriteBytes(settings.Path(), text);
        ASSERT_TRUE(settings.Load());
    }

    TempDir program;
    RecordingMessageBox box;
    SettingsFile settings{box, program.path()};
};

TEST_F(Settings, FirstRunGivesTheDefaultsAndWritesNothing) {
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(settings.Path(), program / "Tintwell.ini");
    EXPECT_TRUE(settings.Preview());
    EXPECT_TRUE(settings.BackupBMPs());
    EXPECT_TRUE(settings.RecolorOutside());
    EXPECT_EQ(settings.StoredFolder(), program.path().string());
    EXPECT_EQ(settings.FolderToList(), program.path());
    EXPECT_EQ(settings.Zoom(), 1);
    EXPECT_EQ(settings.NumColorMaps(), 0);
    EXPECT_EQ(settings.RecolorMap(), Identity());
    EXPECT_FALSE(fs::exists(settings.Path()));
    settings.SetBackupBMPs(false);
    EXPECT_EQ(ReadBytes(settings.Path()), "[General]\r\nBackupBMPs=0\r\n");
}

TEST_F(Settings, SwitchesAreWrittenAsMinusOneAndZeroAndAnyNonZeroIsOn) {
    ASSERT_TRUE(settings.Load());
    settings.SetPreview(true);
    settings.SetRecolorOutside(false);
    settings.SetBackupBMPs(true);
    EXPECT_EQ(ReadBytes(settings.Path()),
              "[General]\r\nBackupBMPs=-1\r\nPreview=-1\r\nRecolorOutside=0\r\n");
    Given("[General]\r\nPreview=5\r\nBackupBMPs=abc\r\nRecolorOutside=0\r\n");
    EXPECT_TRUE(settings.Preview());
    EXPECT_FALSE(settings.BackupBMPs());
    EXPECT_FALSE(settings.RecolorOutside());
}

TEST_F(Settings, ZoomOutsideOneToEightIsClamped) {
    for (auto [text, zoom] : {std::pair{"3", 3},
                              {"0", 1},
                              {"-7", 1},
                              {"9", 8},
                              {"99999999999", 8},
                              {"abc", 1},
                              {"8", 8}}) {
        Given(std::string("[General]\r\nZoom=") + text + "\r\n");
        EXPECT_EQ(settings.Zoom(), zoom) << text;
    }
    settings.SetZoom(4);
    EXPECT_EQ(settings.Ini().ReadString("General", "Zoom"), "4");
}

TEST_F(Settings, RecolorSectionIsReadWithIdentityForMissingAndOutOfRangeValues) {
    Given("[Recolor]\r\n3=7\r\n4=256\r\n5=-1\r\n6=&HFF\r\n300=1\r\n");
    ColorMapEntries expected = Identity();
    expected[3] = 7;
    expected[6] = 255;
    EXPECT_EQ(settings.RecolorMap(), expected);
    EXPECT_EQ(settings.Ini().WriteCount(), 0u);  // reading never removes or changes it
}

TEST_F(Settings, FolderFallsBackToTheProgramFolderUnlessItIsAnExistingFolder) {
    const fs::path images = program / "images";
    fs::create_directory(images);
    Given("[General]\r\nFolder=" + images.string() + "\r\n");
    EXPECT_EQ(settings.FolderToList(), images);

    WriteBytes(program / "file.bmp", "x");
    const std::string cases[] = {"", (program / "file.bmp").string(), (program / "gone").string()};
    for (const std::string& stored : cases) {
        Given("[General]\r\nFolder=" + stored + "\r\n");
        EXPECT_EQ(settings.FolderToList(), program.path()) << stored;
        EXPECT_EQ(settings.StoredFolder(), stored);  // the stored value is left alone
    }
}

TEST_F(Settings, NumColorMapsIsNeverNegativeNorAbsurd) {
    Given("[General]\r\nNumColorMaps=-5\r\n");
    EXPECT_EQ(settings.NumColorMaps(), 0);
    Given("[General]\r\nNumColorMaps=2147483647\r\n");
    EXPECT_EQ(settings.NumColorMaps(), SettingsFile::kMaxColorMaps);
    Given("[General]\r\nNumColorMaps=3\r\n");
    EXPECT_EQ(settings.NumColorMaps(), 3);
}

TEST_F(Settings, StoredMapsAreReadByNumberWithNamesAndIdentityForGaps) {
    Given("[List 1]\r\n2=9\r\n7=300\r\n8=-2\r\nName=Night\r\n\r\n[List 2]\r\n1=1\r\n");
    EXPECT_EQ(SettingsFile::ListSectionName(12), "List 12");
    EXPECT_EQ(settings.ColorMapName(1, "ERROR: No name found"), "Night");
    EXPECT_EQ(settings.ColorMapName(2, "ERROR: No name found"), "ERROR: No name found");
    ColorMapEntries expected = Identity();
    expected[2] = 9;
    EXPECT_EQ(settings.ReadColorMap(1), expected);
    EXPECT_EQ(settings.ReadColorMap(3), Identity());
}

TEST_F(Settings, MapSectionHoldsTheNameAndOnlyTheChangedIndices) {
    ASSERT_TRUE(settings.Load());
    ColorMapEntries map = Identity();
    map[3] = 7;
    map[200] = 0;
    settings.WriteColorMapSection(2, "Night", map);
    EXPECT_EQ(ReadBytes(settings.Path()), "[List 2]\r\n3=7\r\n200=0\r\nName=Night\r\n");
    settings.DeleteColorMapSection(2);
    EXPECT_EQ(ReadBytes(settings.Path()), "");
    settings.WriteColorMapSection(1, "Same", Identity());
    EXPECT_EQ(ReadBytes(settings.Path()), "[List 1]\r\nName=Same\r\n");
}

TEST_F(Settings, WholeMapSavedInABatchIsWrittenOnce) {
    ASSERT_TRUE(settings.Load());
    ColorMapEntries map{};
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(255 - i);
    {
        SettingsFile::SaveBatch batch(settings);
        settings.SetNumColorMaps(1);
        settings.WriteColorMapSection(1, "Reversed", map);
        EXPECT_FALSE(fs::exists(settings.Path()));
    }
    EXPECT_EQ(settings.Ini().WriteCount(), 1u);
    EXPECT_TRUE(settings.Ini().AllowSaveFile());
    SettingsFile reread(box, program.path());
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.ReadColorMap(1), map);
    EXPECT_EQ(reread.ColorMapName(1, ""), "Reversed");
    EXPECT_EQ(reread.NumColorMaps(), 1);
}

TEST_F(Settings, NestedOrStringModeBatchLeavesSavingOff) {
    ASSERT_TRUE(settings.Load());
    {
        SettingsFile::SaveBatch outer(settings);
        {
            SettingsFile::SaveBatch inner(settings);
            settings.SetZoom(2);
        }
        EXPECT_EQ(settings.Ini().WriteCount(), 0u);
        outer.Finish();
        EXPECT_EQ(settings.Ini().WriteCount(), 1u);
    }
    EXPECT_EQ(settings.Ini().WriteCount(), 1u);

    settings.Ini().LoadINIFromString("[General]\r\nZoom=3\r\n");
    { SettingsFile::SaveBatch batch(settings); }
    EXPECT_TRUE(box.shown.empty());  // no refusal message
}

TEST_F(Settings, UnreadableFileStartsWithDefaultsAndIsKept) {
    fs::create_directory(settings.Path());
    EXPECT_FALSE(settings.Load());
    EXPECT_FALSE(settings.LastError().empty());
    EXPECT_TRUE(settings.Preview());
    EXPECT_EQ(settings.Zoom(), 1);
    settings.SetZoom(3);
    EXPECT_EQ(settings.Zoom(), 3);  // the run goes on with the value in memory
    EXPECT_TRUE(fs::is_directory(settings.Path()));
    EXPECT_EQ(box.shown.size(), 1u);
}

}  // namespace
}  // namespace tintwell
