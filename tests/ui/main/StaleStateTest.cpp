// Read-outs and stored names that must follow the current state: the "Selected"
// group after a palette loads, the preview after a file it cannot show, and map
// names whose bytes the menu's text cannot carry.
#include "support/MainWindowFixture.h"

namespace tintwell::test {
namespace {

class StaleState : public MainWindowFixture {};

// Stored map names keep their bytes: "Caf\xE9" is not valid in the system's
// encoding and came back from the menu's text as "Caf\xEF\xBF\xBD".
TEST_F(StaleState, MapNameBytesAreNeverRewritten) {
    const std::string name = "Caf\xE9";
    WriteIni("[General]\r\nNumColorMaps=1\r\n[List 1]\r\nName=" + name + "\r\n3=7\r\n");
    Start();
    ColorMapMenus& menus = *main->ColorMaps();
    menus.mnuColorMapSaveAsMap_Click(0);
    EXPECT_TRUE(IniHas("Name=" + name));

    prompt.answers = {name};
    messages.answers = {MsgResult::Cancel, MsgResult::No};
    menus.mnuColorMapSave_Click();
    menus.mnuColorMapDeleteMap_Click(0);
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[0], "You currently have a color map called \"" + name + "\". Overwrite?");
    EXPECT_EQ(Texts()[1], "Are you sure you want to delete \"" + name + "\"?");
    EXPECT_TRUE(IniHas("Name=" + name));
}

// After another palette loads, "Selected" shows the new palette's colour; a file
// that cannot be previewed leaves the preview empty, not on the previous image.
TEST_F(StaleState, ReadOutsFollowTheCurrentFile) {
    WriteDiagonalBmp(programFolder / "a.bmp", 10, 10);
    WriteBmp(
        programFolder / "b.bmp", 4, 4, 8, [](int, int) { return 5; },
        [](int) { return Rgb(9, 8, 7); });
    WriteBmp(programFolder / "c.bmp", 4, 4, 24, [](int, int) { return Rgb(1, 2, 3); });
    Start();
    main->lblColor_MouseDown(5, 1, 0, 0, 0);
    main->DoHover(6);
    main->File->setCurrentRow(1);
    for (QLabel* rgb : main->lblColorRGB)
        EXPECT_EQ(rgb->text(), "R: 9\nG: 8\nB: 7\n");

    main->File->setCurrentRow(2);
    frmView* view = main->LoadedView();
    EXPECT_EQ(view->PreviewBitmap(), nullptr);
    EXPECT_TRUE(view->img(0)->Picture().isNull());
    EXPECT_TRUE(view->img(1)->Picture().isNull());
    EXPECT_EQ(view->windowTitle(), "0 x 0");
}

}  // namespace
}  // namespace tintwell::test
