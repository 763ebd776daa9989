#include <gtest/gtest.h>

#include "core/modRecolor.h"
#include "ui/toolkit/modPicture.h"

namespace tintwell {
namespace {

// Regression: the preview wrote the selection rule out for itself and, outside
// a selection of negative width, showed "100 0 0 100 100" where the file got
// 100 five times. One rule now decides for both.
TEST(PreviewAndFile, AgreeOutsideASelectionOfNegativeWidth) {
    clsBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateNew(5, 1, 8));
    ColorMap map;
    map.SetEntry(0, 100);
    map.SetEntry(100, 200);  // a pixel mapped twice would show it
    const SelectionRect selection{3, 0, -2, 1};
    QImage picture;
    std::string error;
    ASSERT_TRUE(CreateRecoloredPicture(bitmap, map, selection, true, picture, error));
    RecolorBitmap(bitmap, map, selection, true);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(picture.pixelIndex(x, 0), 100) << x;
        EXPECT_EQ(bitmap.GetPixelAt(x, 0), 100) << x;
    }
}

}  // namespace
}  // namespace tintwell
