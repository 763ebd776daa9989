#include <gtest/gtest.h>
#include <sstream>

#include "settings/SettingsFile.h"
#include "settings/WindowPlacement.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

ColorMapEntries Identity(std::initializer_list<std::pair<int, int>> changes = {}) {
    ColorMapEntries map{};
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(i);
    for (auto [i, to] : changes)
        map[i] = static_cast<std::uint8_t>(to);
    return map;
}

class Settings : public ::testing::Test {
  protected:
    void Given(const std::string& text) {
        WriteFile(settings.Path(), text);
        ASSERT_TRUE(settings.Load());
    }
    TempDir program;
    RecordingMessageBox box;
    SettingsFile settings{box, program.path()};
};

TEST_F(Settings, HandEditedValuesAreMadeSafeWhereTheyAreRead) {
    ASSERT_TRUE(settings.Load());  // no file: the defaults, nothing written
    EXPECT_TRUE(settings.Preview() && settings.BackupBMPs() && settings.RecolorOutside());
    EXPECT_EQ(settings.FolderToList(), program.path());
    EXPECT_EQ(settings.Zoom(), 1);
    EXPECT_EQ(settings.NumColorMaps(), 0);
    EXPECT_FALSE(fs::exists(settings.Path()));
    fs::create_directory(program / "images");
    WriteFile(program / "file.bmp", "x");
    const std::tuple<std::string, int, int, bool, fs::path> cases[] = {
        // Zoom, NumColorMaps, Preview, Folder: the value and what is read
        {"3|3|-1|images", 3, 3, true, program / "images"},
        {"0|-5|0|", 1, 0, false, program.path()},
        {"99999999999|2147483647|5|file.bmp", 8, SettingsFile::kMaxColorMaps, true, program.path()},
        {"abc|abc|abc|gone", 1, 0, false, program.path()}};
    for (const auto& [values, zoom, maps, preview, folder] : cases) {
        std::string v[4];
        std::istringstream in(values);
        for (auto& s : v)
            std::getline(in, s, '|');
        const std::string stored = v[3].empty() ? "" : (program / v[3]).string();
        Given("[General]\r\nZoom=" + v[0] + "\r\nNumColorMaps=" + v[1] + "\r\nPreview=" + v[2] +
              "\r\nFolder=" + stored +
              "\r\n[Recolor]\r\n3=7\r\n4=256\r\n5=-1\r\n6=&HFF\r\n300=1\r\n");
        EXPECT_EQ(settings.Zoom(), zoom) << values;
        EXPECT_EQ(settings.NumColorMaps(), maps) << values;
        EXPECT_EQ(settings.Preview(), preview) << values;
        EXPECT_EQ(settings.FolderToList(), folder) << values;
        EXPECT_EQ(settings.StoredFolder(), stored);  // never rewritten
        EXPECT_EQ(settings.RecolorMap(), Identity({{3, 7}, {6, 255}}));
    }
    EXPECT_EQ(settings.Ini().WriteCount(), 0u);
}

TEST_F(Settings, ABatchWritesTheFileOnceAndANestedOneLeavesSavingToTheOuter) {
    ASSERT_TRUE(settings.Load());
    {
        SettingsFile::SaveBatch outer(settings);
        {
            SettingsFile::SaveBatch inner(settings);
            settings.SetNumColorMaps(1);
            settings.WriteColorMapSection(1, "Reversed", Identity({{0, 255}, {255, 0}}));
        }
        EXPECT_FALSE(fs::exists(settings.Path()));
        outer.Finish();
        EXPECT_EQ(settings.Ini().WriteCount(), 1u);
    }
    EXPECT_EQ(settings.Ini().WriteCount(), 1u);
    SettingsFile reread(box, program.path());
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.ReadColorMap(1), Identity({{0, 255}, {255, 0}}));
    settings.Ini().LoadINIFromString("[General]\r\nZoom=3\r\n");
    { SettingsFile::SaveBatch batch(settings); }  // string mode: saving stays off, no message
    EXPECT_TRUE(box.shown.empty());
    fs::remove(settings.Path());
    fs::create_directory(settings.Path());  // unreadable: defaults, the run goes on in memory
    EXPECT_FALSE(settings.Load());
    settings.Ini().SetAllowSaveFile(true);
    settings.SetZoom(3);
    EXPECT_EQ(settings.Zoom(), 3);
    EXPECT_EQ(box.shown.size(), 1u);
}

// A window that records what was done to it.
struct FakeWindow : IPlacementWindow {
    TwipsRect OuterRect() const override { return rect; }
    WindowState State() const override { return state; }
    void Move(double l, double t, double w, double h) override { rect = {l, t, w, h}, ++moves; }
    void SetState(WindowState s) override { state = s; }
    TwipsRect rect;
    WindowState state = WindowState::Normal;
    int moves = 0;
};

TEST(WindowPlacement, StoresTheNormalRectangleAndRestoresItNeverSmallerThanDesigned) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString("");
    FakeWindow w;
    w.rect = {1200, -300.5, 9615.5, 100000};  // stored as whole numbers; 100000 was "1e+05"
    SaveWindowPlacement(ini, w, "Main");
    w.state = WindowState::Maximized;
    SaveWindowPlacement(ini, w, "Main");  // only the state; the normal rectangle stays
    w.state = WindowState::Minimized;
    SaveWindowPlacement(ini, w, "Preview");  // nothing
    EXPECT_EQ(
        ini.ToText(),
        "[Main]\r\nHeight=100000\r\nLeft=1200\r\nTop=-300\r\nWidth=9616\r\nWindowState=2\r\n");
    // The settings text, the designed rectangle, then the window afterwards.
    const std::tuple<std::string, TwipsRect, const char*> cases[] = {
        {"", {500, 600, 6000, 4000}, "0 0 6000 4000 0"},
        {"[S]\r\nLeft=-300\r\nTop=-1\r\nWidth=100\r\nHeight=9000.4\r\nWindowState=1\r\n",
         {0, 0, 6000.5, 4000},
         "0 0 6000 9000 1"},
        {"[S]\r\nLeft=999999\r\nTop=88888\r\nWidth=7000\r\nWindowState=7\r\n",
         {0, 0, 10, 10},
         "999999 88888 7000 10 0"},
        {ini.ToText(), {0, 0, 20000, 10}, "1200 0 20000 100000 2"}};
    for (const auto& [text, designed, restored] : cases) {
        clsINI stored(box);
        stored.LoadINIFromString(text);
        FakeWindow next;
        next.rect = designed;
        RestoreWindowPlacement(stored, next, text.rfind("[Main]", 0) == 0 ? "Main" : "S");
        std::ostringstream seen;
        seen << next.rect.left << " " << next.rect.top << " " << next.rect.width << " "
             << next.rect.height << " " << static_cast<int>(next.state);
        EXPECT_EQ(seen.str(), restored) << text;
        EXPECT_EQ(next.moves, 1);
    }
}

}  // namespace
}  // namespace tintwell::test
