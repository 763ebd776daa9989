// The preview window: pictures, zoom, the selection frame and the pointer.
#include <QCloseEvent>

#include "support/MainWindowFixture.h"

namespace tintwell::test {
namespace {

class Preview : public MainWindowFixture {
  protected:
    // A 320 x 200 image whose pixel (x, y) holds (x + y) mod 256.
    void StartWithImage(int w = 320, int h = 200, const std::string& ini = "") {
        WriteDiagonalBmp(programFolder / "a.bmp", w, h);
        if (!ini.empty()) WriteIni(ini);
        Start();
        view = main->LoadedView();
        ASSERT_NE(view, nullptr);
    }
    // The centre of image pixel (x, y) on picture `index` at the current zoom.
    QPoint At(int x, int y) const {
        const int z = view->ZoomValue();
        return QPoint(x * z + z / 2, y * z + z / 2);
    }
    QRect FrameOf(const SelectionRect& s) const {
        const int z = view->ZoomValue();
        return QRect(view->img(0)->x() + s.x0 * z, view->img(0)->y() + s.y0 * z, s.w * z, s.h * z);
    }
    frmView* view = nullptr;
};

TEST_F(Preview, StoredZoomThreeShowsTwoPicturesThreeTimesAsLarge) {
    StartWithImage(100, 50, "[General]\r\nZoom=3\r\n");
    EXPECT_EQ(view->ZoomValue(), 3);
    EXPECT_EQ(view->lblZoom()->text(), "3");
    const int top = view->img(0)->y();  // below the zoom control, 24 at least
    EXPECT_GE(top, 24);
    EXPECT_EQ(view->img(0)->geometry(), QRect(0, top, 300, 150));
    EXPECT_EQ(view->img(1)->geometry(), QRect(308, top, 300, 150));
    EXPECT_EQ(view->size(), QSize(608, top + 150));
    EXPECT_EQ(view->windowTitle(), "100 x 50");
}

TEST_F(Preview, CaptionIsZeroByZeroBeforeAnyFile) {
    Start();
    ASSERT_NE(main->LoadedView(), nullptr);
    EXPECT_EQ(main->LoadedView()->windowTitle(), "0 x 0");
    EXPECT_TRUE(main->LoadedView()->isVisible());
}

TEST_F(Preview, PicturesShowFileAndRecolouredCopyExactly) {
    StartWithImage(20, 10);
    app->Map().SetMapping(5, 6);
    view->DoPreview();
    const QImage& left = view->img(0)->Picture();
    const QImage& right = view->img(1)->Picture();
    EXPECT_EQ(right.format(), QImage::Format_Indexed8);
    EXPECT_EQ(left.pixel(5, 0), QColor(5, 250, 35).rgb());
    EXPECT_EQ(right.pixel(5, 0), QColor(6, 249, 42).rgb());
    EXPECT_EQ(right.pixelIndex(4, 0), 4);
}

TEST_F(Preview, SelectionRoundTripsAtEveryZoom) {
    StartWithImage(40, 40);
    for (int z = 1; z <= 8; ++z) {
        view->vsbZoom()->setValue(z);
        view->MoveSelection(2, 4, 5, 6);
        EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{2, 4, 5, 6})) << z;
        EXPECT_EQ(view->SelectionFrameRect(), FrameOf({2, 4, 5, 6})) << z;
    }
}

TEST_F(Preview, ZoomTwoToFourKeepsTheFrameOnTheSamePixelsAndRendersNothing) {
    StartWithImage(40, 30);
    view->vsbZoom()->setValue(2);
    view->MoveSelection(3, 5, 7, 2);
    const QSize pictures = view->img(0)->size();
    const int renders = view->RenderCount();
    view->vsbZoom()->setValue(4);
    EXPECT_EQ(view->img(0)->size(), pictures * 2);
    EXPECT_EQ(view->SelectionFrameRect(), FrameOf({3, 5, 7, 2}));
    EXPECT_EQ(view->SelectionFrameRect().size(), QSize(28, 8));
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{3, 5, 7, 2}));
    EXPECT_EQ(view->RenderCount(), renders);
    EXPECT_TRUE(IniHas("Zoom=4"));
}

TEST_F(Preview, ZoomControlStaysWithinOneToEight) {
    StartWithImage(10, 10, "[General]\r\nZoom=12\r\n");
    EXPECT_EQ(view->ZoomValue(), 8);
    view->vsbZoom()->setValue(0);
    EXPECT_EQ(view->ZoomValue(), 1);
}

TEST_F(Preview, PositionLabelShowsThePixelUnderThePointerAtEveryZoom) {
    StartWithImage();
    for (int z : {1, 3, 8}) {
        view->vsbZoom()->setValue(z);
        Move(view->img(0), At(0, 0));
        EXPECT_EQ(view->lblPosition()->text(), "0, 0");
        Move(view->img(0), At(319, 199));
        EXPECT_EQ(view->lblPosition()->text(), "319, 199") << z;
    }
}

TEST_F(Preview, RightPictureHoversTheSamePixelOfTheFileAsLoaded) {
    StartWithImage();
    app->Map().SetMapping(30, 99);
    view->DoPreview();
    Move(view->img(1), At(10, 20));
    EXPECT_EQ(view->lblPosition()->text(), "10, 20");
    EXPECT_EQ(main->lblColorNum[1]->text(), "30 (1Eh)");
    EXPECT_EQ(main->lblColorNum[2]->text(), "99 (63h)");
}

TEST_F(Preview, HoverUpdatesLabelsOnly) {
    StartWithImage();
    const int renders = view->RenderCount();
    Move(view->img(0), At(5, 5));
    Move(view->img(1), At(6, 5));
    EXPECT_EQ(view->RenderCount(), renders);
}

TEST_F(Preview, LeftClickWithoutMovingSelectsTheColourAndNoRectangle) {
    StartWithImage();
    view->vsbZoom()->setValue(2);
    view->MoveSelection(1, 1, 10, 10);
    Press(view->img(0), At(12, 7));
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{12, 7, 1, 1}));
    EXPECT_EQ(main->SelectedColor(), 19);
    EXPECT_EQ(main->lblColorNum[0]->text(), "19 (13h)");
    const int renders = view->RenderCount();
    Release(view->img(0), At(12, 7));
    EXPECT_EQ(view->RenderCount(), renders + 1);
}

TEST_F(Preview, RightClickOnAPixelMapsTheSelectedColourAndThePreviewFollows) {
    StartWithImage(20, 20);
    main->lblColor_MouseDown(3, 1, 0, 0, 0);
    Click(view->img(0), At(8, 1), Qt::RightButton);  // index 9
    EXPECT_EQ(app->Map()[3], 9);
    EXPECT_EQ(view->img(1)->Picture().pixelIndex(3, 0), 9);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{0, 0, 1, 1}));  // no selection change
}

TEST_F(Preview, DragGivesTheRectangleBetweenAnchorAndPointer) {
    StartWithImage();
    view->vsbZoom()->setValue(2);
    Press(view->img(0), At(10, 10));
    Move(view->img(0), At(5, 20), Qt::LeftButton);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{5, 10, 6, 11}));
    EXPECT_EQ(view->SelectionFrameRect(), FrameOf({5, 10, 6, 11}));
    Move(view->img(0), At(10, 10), Qt::LeftButton);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{10, 10, 1, 1}));
}

TEST_F(Preview, OneByTwoDragIsARealSelectionAndStaysPut) {
    StartWithImage();
    Press(view->img(0), At(4, 4));
    Move(view->img(0), At(4, 5), Qt::LeftButton);
    Release(view->img(0), At(4, 5));
    Move(view->img(0), At(50, 60));
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{4, 4, 1, 2}));
}

TEST_F(Preview, MarkerFollowsThePointerOnlyOverTheLeftPicture) {
    StartWithImage();
    Move(view->img(0), At(7, 9));
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{7, 9, 1, 1}));
    Move(view->img(1), At(30, 40));
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{7, 9, 1, 1}));
}

TEST_F(Preview, DragLeavingThePictureStopsAtTheLastColumnReached) {
    StartWithImage(50, 40);
    view->vsbZoom()->setValue(2);
    Press(view->img(0), At(40, 10));
    Move(view->img(0), At(49, 12), Qt::LeftButton);
    Move(view->img(0), QPoint(view->img(0)->width() + 30, 30), Qt::LeftButton);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{40, 10, 10, 3}));
    Move(view->img(0), At(45, 10), Qt::LeftButton);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{40, 10, 6, 1}));
}

TEST_F(Preview, RightDragAndPressOnTheRightPictureChangeNoSelection) {
    StartWithImage();
    view->MoveSelection(2, 2, 5, 5);
    Press(view->img(0), At(20, 20), Qt::RightButton);
    Move(view->img(0), At(30, 30), Qt::RightButton);
    Release(view->img(0), At(30, 30), Qt::RightButton);
    Press(view->img(1), At(40, 40));
    Move(view->img(1), At(50, 50), Qt::LeftButton);
    Release(view->img(1), At(50, 50));
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{2, 2, 5, 5}));
    EXPECT_EQ(main->SelectedColor(), 80);  // the press still reached the grid
}

TEST_F(Preview, ReleaseAfterADragRendersWithTheNewRectangle) {
    StartWithImage(20, 20);
    main->mnuOptionsRecolorOutside->trigger();  // recolour inside the selection
    app->Map().SetMapping(0, 50);
    app->Map().SetMapping(10, 60);
    Press(view->img(0), At(0, 0));
    Move(view->img(0), At(4, 4), Qt::LeftButton);
    const QImage before = view->img(1)->Picture();
    EXPECT_EQ(before.pixelIndex(0, 0), 0);  // pressing on (0,0) made index 0 selected
    Release(view->img(0), At(4, 4));
    EXPECT_EQ(view->img(1)->Picture().pixelIndex(0, 0), 50);
    EXPECT_EQ(view->img(1)->Picture().pixelIndex(10, 0), 10);  // outside the rectangle
}

TEST_F(Preview, ClosingUnticksShowPreviewWithoutStoringItAndLosesTheSelection) {
    StartWithImage(40, 40, "[General]\r\nZoom=2\r\n");
    view->MoveSelection(1, 2, 3, 4);
    view->move(150, 160);
    view->close();
    FlushDeletes();
    EXPECT_FALSE(main->mnuOptionsShowPreview->isChecked());
    EXPECT_EQ(main->LoadedView(), nullptr);
    EXPECT_EQ(Ini().find("Preview=0"), std::string::npos);
    EXPECT_TRUE(IniHas("Left=2250"));

    main->mnuOptionsShowPreview->trigger();
    view = main->LoadedView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{0, 0, 1, 1}));
    EXPECT_EQ(view->ZoomValue(), 2);
    EXPECT_EQ(view->frameGeometry().topLeft(), QPoint(150, 160));
    EXPECT_EQ(view->windowTitle(), "40 x 40");
    EXPECT_TRUE(IniHas("Preview=-1"));
}

TEST_F(Preview, CloseRequestIsAcceptedSoTheProgramCanQuit) {
    StartWithImage(8, 8);
    QCloseEvent request;
    QApplication::sendEvent(view, &request);
    EXPECT_TRUE(request.isAccepted());
    EXPECT_TRUE(view->IsUnloaded());
    EXPECT_FALSE(main->mnuOptionsShowPreview->isChecked());
}

TEST_F(Preview, BatchLoadsAHiddenPreviewForItsSelection) {
    WriteDiagonalBmp(programFolder / "a.bmp", 4, 4);
    WriteIni("[General]\r\nPreview=0\r\nBackupBMPs=0\r\n");
    Start();
    EXPECT_EQ(main->LoadedView(), nullptr);
    main->File->item(0)->setSelected(true);
    main->cmdRecolor->click();
    ASSERT_NE(main->LoadedView(), nullptr);
    EXPECT_FALSE(main->LoadedView()->isVisible());
}

TEST_F(Preview, PaintsTheVisiblePartAtHighZoomWithoutSmoothing) {
    StartWithImage(64, 64);
    view->vsbZoom()->setValue(8);
    view->MoveSelection(1, 1, 2, 2);
    const QImage shot = view->img(0)->grab(QRect(0, 0, 40, 40)).toImage();
    // Pixel (0, 0) of the image is index 0: an 8 x 8 block of its exact colour.
    const QRgb c0 = QColor(0, 255, 0).rgb();
    EXPECT_EQ(shot.pixel(0, 0), c0);
    EXPECT_EQ(shot.pixel(7, 7), c0);
    EXPECT_EQ(shot.pixel(8, 0), QColor(1, 254, 7).rgb());  // no blend at the edge
    EXPECT_EQ(shot.pixel(8, 8), QColor(Qt::white).rgb());  // the selection frame's corner
}

}  // namespace
}  // namespace tintwell::test
