// The palette grid: cells, marker frames, the three groups, clicks and hovers.
#include "support/MainWindowFixture.h"

namespace tintwell::test {
namespace {

class PaletteGridTest : public MainWindowFixture {
  protected:
    void StartWithImage() {
        WriteDiagonalBmp(programFolder / "a.bmp", 32, 20);
        Start();
    }
    QPoint CellCentre(int i) const {
        return main->lblColor->CellRect(i).center() - main->lblColor->pos();
    }
    QRect FrameAround(int i) const { return main->lblColor->CellRect(i).adjusted(-1, -1, 1, 1); }
};

TEST_F(PaletteGridTest, CellsFollowTheDesignedGrid) {
    Start();
    EXPECT_EQ(main->lblColor->CellRect(0), QRect(128, 32, 17, 17));
    EXPECT_EQ(main->lblColor->CellRect(17), QRect(145, 49, 17, 17));
    EXPECT_EQ(main->lblColor->CellRect(255), QRect(128 + 15 * 17, 32 + 15 * 17, 17, 17));
    EXPECT_EQ(main->lblColor->CellAt(CellCentre(200)), 200);
}

TEST_F(PaletteGridTest, LoadingAPaletteColoursEveryCell) {
    StartWithImage();
    for (int i : {0, 5, 128, 255})
        EXPECT_EQ(main->lblColor->BackColor(i), DistinctColor(i)) << i;
}

TEST_F(PaletteGridTest, LeftClickOnCell17SelectsIt) {
    StartWithImage();
    Click(main->lblColor, CellCentre(17));
    EXPECT_EQ(main->SelectedColor(), 17);
    EXPECT_EQ(main->lblColorNum[0]->text(), "17 (11h)");
    EXPECT_EQ(main->lblColorRGB[0]->text(), "R: 17\nG: 238\nB: 119\n");
    EXPECT_EQ(main->lblColor->FrameRect(PaletteGrid::shpOld), FrameAround(17));
    EXPECT_EQ(main->lblColor->FrameRect(PaletteGrid::shpNew), FrameAround(17));
}

TEST_F(PaletteGridTest, RightClickMapsTheSelectedColourAndRendersThePreview) {
    StartWithImage();
    Click(main->lblColor, CellCentre(17));
    const int renders = main->LoadedView()->RenderCount();
    Click(main->lblColor, CellCentre(200), Qt::RightButton);

    EXPECT_EQ(app->Map()[17], 200);
    EXPECT_TRUE(app->Map().ColorMapChanged());
    EXPECT_EQ(main->SelectedColor(), 17);
    EXPECT_EQ(main->lblColorNum[0]->text(), "17 (11h)");
    EXPECT_EQ(main->lblColorNum[2]->text(), "200 (C8h)");
    EXPECT_EQ(main->LoadedView()->RenderCount(), renders + 1);
    // Pixel (17, 0) holds index 17: the preview shows it as 200.
    EXPECT_EQ(main->LoadedView()->img(1)->Picture().pixelIndex(17, 0), 200);
    EXPECT_EQ(main->LoadedView()->img(0)->Picture().pixel(17, 0), QColor(17, 238, 119).rgb());

    // Hovering over 17 afterwards shows what it becomes.
    Move(main->lblColor, CellCentre(17));
    EXPECT_EQ(main->lblColorNum[1]->text(), "17 (11h)");
    EXPECT_EQ(main->lblColorNum[2]->text(), "200 (C8h)");
    EXPECT_EQ(main->lblColor->FrameRect(PaletteGrid::shpSel), FrameAround(17));
    EXPECT_EQ(main->lblColor->FrameRect(PaletteGrid::shpNew), FrameAround(200));
}

TEST_F(PaletteGridTest, RightClicksInARowKeepTheLastAndOnItselfResets) {
    StartWithImage();
    Click(main->lblColor, CellCentre(3));
    Click(main->lblColor, CellCentre(9), Qt::RightButton);
    Click(main->lblColor, CellCentre(12), Qt::RightButton);
    EXPECT_EQ(app->Map()[3], 12);
    Click(main->lblColor, CellCentre(3), Qt::RightButton);
    EXPECT_EQ(app->Map()[3], 3);
}

TEST_F(PaletteGridTest, MiddleClickChangesNothing) {
    StartWithImage();
    Click(main->lblColor, CellCentre(5));
    const std::vector<QString> before = {main->lblColorNum[0]->text(), main->lblColorNum[1]->text(),
                                         main->lblColorNum[2]->text()};
    Click(main->lblColor, CellCentre(40), Qt::MiddleButton);
    EXPECT_EQ(main->SelectedColor(), 5);
    EXPECT_TRUE(app->Map().IsIdentity());
    EXPECT_FALSE(app->Map().ColorMapChanged());
    EXPECT_EQ(main->lblColorNum[0]->text(), before[0]);
    EXPECT_EQ(main->lblColorNum[2]->text(), before[2]);
}

TEST_F(PaletteGridTest, HoverShowsNumberAndRgbOfTheCell) {
    TempFolder images;
    WriteBmp(
        programFolder / "a.bmp", 4, 4, 8, [](int, int) { return 0; },
        [](int i) { return i == 10 ? Rgb(255, 128, 0) : Rgb(0, 0, 0); });
    Start();
    Move(main->lblColor, CellCentre(10));
    EXPECT_EQ(main->lblColorNum[1]->text(), "10 (0Ah)");
    EXPECT_EQ(main->lblColorRGB[1]->text(), "R: 255\nG: 128\nB: 0\n");
    Move(main->lblColor, CellCentre(255));
    EXPECT_EQ(main->lblColorNum[1]->text(), "255 (FFh)");
}

TEST_F(PaletteGridTest, MovesWhileAButtonIsHeldStayWithThePressedCell) {
    StartWithImage();
    Press(main->lblColor, CellCentre(20));
    Move(main->lblColor, CellCentre(90), Qt::LeftButton);
    EXPECT_EQ(main->lblColorNum[1]->text(), "20 (14h)");
    Release(main->lblColor, CellCentre(90));
    Move(main->lblColor, CellCentre(90));
    EXPECT_EQ(main->lblColorNum[1]->text(), "90 (5Ah)");
}

TEST_F(PaletteGridTest, FourBitFileGivesTheMessageAndKeepsThePalette) {
    StartWithImage();
    WriteBmp(programFolder / "four.bmp", 8, 8, 4, [](int x, int) { return x; });
    messages.shown.clear();
    EXPECT_FALSE(main->LoadPalette(programFolder / "four.bmp"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Cannot load palette. BMP is not 8 bit (256 colors).");
    EXPECT_EQ(messages.shown[0].title, "BMP is not 8-bit");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(main->lblColor->BackColor(5), DistinctColor(5));
}

TEST_F(PaletteGridTest, FileThatFailsToLoadIsTreatedAsNotEightBit) {
    StartWithImage();
    // An 8-bit header with a compression the bitmap cannot load.
    std::string bytes = ReadFile(programFolder.Path() / "a.bmp");
    bytes[30] = 3;
    WriteFile(programFolder.Path() / "rle.bmp", bytes);
    messages.shown.clear();
    EXPECT_FALSE(main->LoadPalette(programFolder / "rle.bmp"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "BMP is not 8-bit");
}

TEST_F(PaletteGridTest, MissingFileReturnsFalseQuietly) {
    Start();
    EXPECT_FALSE(main->LoadPalette(programFolder / "gone.bmp"));
    EXPECT_FALSE(main->LoadPalette(""));
    EXPECT_FALSE(main->LoadPalette(programFolder.Path().string()));  // a folder
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PaletteGridTest, ResizingLeavesGridAndFramesInPlace) {
    StartWithImage();
    Click(main->lblColor, CellCentre(33));
    const QRect grid = main->lblColor->geometry();
    const QRect frame = main->lblColor->FrameRect(PaletteGrid::shpOld);
    main->resize(main->width() + 200, main->height() + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(main->lblColor->geometry(), grid);
    EXPECT_EQ(main->lblColor->FrameRect(PaletteGrid::shpOld), frame);
}

TEST(ColorTexts, NumberAndRgbTexts) {
    EXPECT_EQ(ColorNumText(0), "0 (00h)");
    EXPECT_EQ(ColorNumText(10), "10 (0Ah)");
    EXPECT_EQ(ColorNumText(255), "255 (FFh)");
    EXPECT_EQ(ColorRGBText(Rgb(255, 128, 0)), "R: 255\nG: 128\nB: 0\n");
}

}  // namespace
}  // namespace tintwell::test
