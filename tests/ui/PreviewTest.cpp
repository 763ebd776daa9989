// The preview window: the two pictures, zoom, the selection frame and the pointer.
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include "png/ImageFile.h"
#include "support/GuiKit.h"
#include "ui/preview/frmView.h"

namespace tintwell::test {
namespace {

class Preview : public MainWindowFixture {
  protected:
    // The preview at the screen's top left corner, with room to grow.
    void StartWith(int w, int h, const std::string& ini = {}) {
        Diagonal("a.bmp", w, h);
        Start(ini);
        view = main->LoadedView();
        ASSERT_NE(view, nullptr);
        view->move(0, 0);
        view->SizeToImage();
    }
    // The centre of image pixel (x, y) on a picture at the current zoom and scroll position.
    QPoint At(int x, int y) const {
        const int z = view->ZoomValue();
        return QPoint(x * z + z / 2, y * z + z / 2) - view->img(0)->Offset();
    }
    frmView* view = nullptr;
};

TEST_F(Preview, ShowsTheFileAndItsRecolouredCopyAtTheStoredZoom) {
    Start();
    EXPECT_EQ(main->LoadedView()->windowTitle(), "0 x 0");
    Close();
    StartWith(100, 50, "[General]\r\nZoom=3\r\n");
    EXPECT_EQ(view->lblZoom()->text(), "3");
    const int top = std::max(view->img(0)->y(), 24);  // below the zoom control
    EXPECT_EQ(view->img(0)->geometry(), QRect(0, top, 300, 150));
    EXPECT_EQ(view->img(1)->geometry(), QRect(308, top, 300, 150));
    EXPECT_EQ(view->size(), QSize(608, top + 150));
    EXPECT_EQ(view->minimumSize(), view->maximumSize());  // the user cannot resize it
    EXPECT_EQ(view->windowTitle(), "100 x 50");
    QImage arrows[9];  // zoom 1 to 8: an arrow that can step no further is greyed
    for (int z : {1, 2, 7, 8})
        arrows[z] = (view->vsbZoom()->setValue(z), view->vsbZoom()->grab().toImage());
    EXPECT_TRUE(arrows[1] != arrows[2] && arrows[8] != arrows[7]);
    EXPECT_TRUE(IniHas("Zoom=8"));
    // Drawn without smoothing: pixel (0, 0), index 0, is an 8 x 8 block of its colour.
    view->MoveSelection(1, 1, 2, 2);
    view->hsbPictures()->setValue(0);
    view->vsbPictures()->setValue(0);
    QImage shot = view->img(0)->grab().toImage();
    EXPECT_EQ(shot.pixel(7, 7), QColor(0, 255, 3).rgb());
    EXPECT_EQ(shot.pixel(8, 0), QColor(1, 254, 10).rgb());
    EXPECT_EQ(shot.pixel(8, 8), QColor(Qt::white).rgb());  // the selection frame's corner
    // 1608 x 400 pixels do not fit the screen: the last pixel is scrolled to.
    ASSERT_TRUE(view->hsbPictures()->isVisible());
    EXPECT_EQ(view->hsbPictures()->singleStep(), 16);  // or the zoom when that is larger
    view->hsbPictures()->setValue(view->hsbPictures()->maximum());
    view->vsbPictures()->setValue(view->vsbPictures()->maximum());
    shot = view->img(1)->grab().toImage();
    EXPECT_EQ(shot.pixel(shot.width() - 1, shot.height() - 1),
              QColor(99 + 49, 255 - 148, (148 * 7 + 3) & 255).rgb());
    // An indexed PNG: both pictures, from its PLTE.
    clsBitmap png;
    ASSERT_TRUE(LoadImageFile(TINTWELL_PNG_FIXTURES "/adam7-depth4.png", png));
    const auto rgb = [&](int k) {
        const ColorValue c = png.ColorTableEntry(k);
        return QColor(c & 255, c >> 8 & 255, c >> 16 & 255).rgb();
    };
    const int i = png.GetPixelAt(2, 1);
    app->Map().SetMapping(std::uint8_t(i), std::uint8_t(i + 1));
    view->MoveSelection(0, 0, 1, 1);
    view->LoadFile(TINTWELL_PNG_FIXTURES "/adam7-depth4.png");
    EXPECT_EQ(view->windowTitle(), "45 x 33");
    EXPECT_EQ(view->img(0)->ColorAt(2, 1), rgb(i));
    EXPECT_EQ(view->img(1)->ColorAt(2, 1), rgb(i + 1));
    // As wide as fits at the largest zoom, one pixel wider, a depth without a palette.
    const std::tuple<int, int, const char*> pictures[] = {
        {1 << 27, 1, ""},
        {(1 << 27) + 1, 1, "The image is too large to show (134217729 x 1 pixels)."},
        {2, 24, "The image's bit count (24) cannot be shown."}};
    for (const auto& [width, bits, why] : pictures) {
        auto picture = std::make_unique<clsBitmap>();
        ASSERT_TRUE(picture->CreateNew(width, 1, static_cast<std::int16_t>(bits)));
        view->ShowBitmap(std::move(picture), "x.bmp", false);
        EXPECT_EQ(view->PictureError(), why) << width;
    }
}

TEST_F(Preview, ThePointerSelectsColoursPixelsAndRectangles) {
    StartWith(160, 100);
    view->vsbZoom()->setValue(2);
    Move(view->img(0), At(7, 9));  // the marker follows the pointer over the left picture only
    Move(view->img(1), At(30, 40));
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{7, 9, 1, 1}));
    app->Map().SetMapping(30, 99);
    view->DoPreview();
    Move(view->img(1), QPoint(60, 0));  // the right picture shows the file's pixel and its mapping
    EXPECT_EQ(view->lblPosition()->text(), "30, 0");
    EXPECT_EQ(main->lblColorNum[1]->text(), "30 (1Eh)");
    EXPECT_EQ(main->lblColorNum[2]->text(), "99 (63h)");
    Press(view->img(0), At(12, 7));  // a press selects the colour under it
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{12, 7, 1, 1}));
    EXPECT_EQ(main->lblColorNum[0]->text(), "19 (13h)");
    Move(view->img(0), At(5, 20), Qt::LeftButton);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{5, 7, 8, 14}));
    EXPECT_EQ(view->SelectionFrameRect(),
              QRect(view->img(0)->pos() + QPoint(10, 14), QSize(16, 28)));
    Move(view->img(0), At(159, 15), Qt::LeftButton);
    Move(view->img(0), QPoint(view->img(0)->width() + 30, 90), Qt::LeftButton);  // ignored
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{12, 7, 148, 9}));
    Move(view->img(0), At(12, 8), Qt::LeftButton);
    const int renders = view->RenderCount();
    Release(view->img(0), At(12, 8));
    EXPECT_EQ(view->RenderCount(), renders + 1);
    Move(view->img(0), At(50, 60));
    EXPECT_EQ(view->SelectionInPixels(),
              (SelectionRect{12, 7, 1, 2}));  // one by two is a selection
    main->lblColor_MouseDown(3, 1, 0, 0, 0);
    Press(view->img(0), At(20, 20), Qt::RightButton);  // maps the selected colour to index 40
    Move(view->img(0), At(30, 30), Qt::RightButton);
    Release(view->img(0), At(30, 30), Qt::RightButton);
    Click(view->img(1), At(50, 50));  // the right picture selects no rectangle
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{12, 7, 1, 2}));
    EXPECT_EQ(app->Map()[3], 40);
    EXPECT_EQ(main->SelectedColor(), 100);  // the press on the right picture reached the grid
}

// Pictures larger than the screen scroll together: picking, mapping and selecting
// act on the pixels under the pointer; Ctrl with the wheel, +, - or 0 zooms.
TEST_F(Preview, ScrolledPicturesPickMapAndSelectThePixelsUnderThePointer) {
    StartWith(4000, 3000);
    ASSERT_TRUE(view->hsbPictures()->isVisible() && view->vsbPictures()->isVisible());
    EXPECT_GT(view->width(), view->screen()->availableGeometry().width() - 10);  // all the room
    view->hsbPictures()->setValue(3000);
    view->vsbPictures()->setValue(2500);
    Press(view->img(0), At(3100, 2600));  // picks index 68 and starts a selection
    Move(view->img(0), At(3110, 2605), Qt::LeftButton);
    Release(view->img(0), At(3110, 2605));
    Click(view->img(1), At(3101, 2601), Qt::RightButton);  // maps 68 to 70
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{3100, 2600, 11, 6}));
    EXPECT_EQ(view->img(1)->ColorAt(0, 68), view->img(0)->ColorAt(2, 68));
    const QPoint pointer = At(3105, 2602);
    QWheelEvent wheel(pointer, view->img(0)->mapToGlobal(pointer), {}, {0, 120}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->img(0), &wheel);
    Move(view->img(0), pointer);
    EXPECT_EQ(view->lblPosition()->text() + QString::number(view->ZoomValue()), "3105, 26022");
    std::string zooms;
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Minus, Qt::Key_Equal, Qt::Key_0}) {
        Key(view->vsbZoom(), key, Qt::ControlModifier);
        zooms += std::to_string(view->ZoomValue());
    }
    Key(view->vsbZoom(), Qt::Key_Up);  // without Ctrl the keys reach the control
    EXPECT_EQ(zooms + std::to_string(view->ZoomValue()), "321212");
}

}  // namespace
}  // namespace tintwell::test
