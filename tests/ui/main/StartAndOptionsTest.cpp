// Start-up in the order of Form_Load, the three options and the unload.
#include <QAction>

#include "support/MainWindowFixture.h"

namespace tintwell::test {
namespace {

using StartUp = MainWindowFixture;

TEST_F(StartUp, FirstStartWithoutSettingsUsesTheDefaults) {
    WriteDiagonalBmp(programFolder / "b.bmp");
    WriteDiagonalBmp(programFolder / "a.bmp");
    Start();

    EXPECT_TRUE(main->mnuOptionsShowPreview->isChecked());
    EXPECT_TRUE(main->mnuOptionsBackupBMPs->isChecked());
    EXPECT_TRUE(main->mnuOptionsRecolorOutside->isChecked());
    ASSERT_NE(main->LoadedView(), nullptr);
    EXPECT_TRUE(main->LoadedView()->isVisible());
    EXPECT_EQ(main->FolderTag(), programFolder.Path().string());
    ASSERT_EQ(main->File->count(), 2);
    EXPECT_EQ(main->File->currentItem()->text(), "a.bmp");
    EXPECT_EQ(main->LoadedView()->windowTitle(), "16 x 16");

    EXPECT_EQ(main->SelectedColor(), 0);
    for (int g = 0; g < 3; ++g) {
        EXPECT_EQ(main->lblColorNum[g]->text(), "0 (00h)") << g;
        // The groups show cell 0 of the palette that has arrived.
        EXPECT_EQ(main->lblColorRGB[g]->text(), "R: 0\nG: 255\nB: 0\n") << g;
    }
    const QRect cell0 = main->lblColor->CellRect(0);
    EXPECT_EQ(main->lblColor->FrameRect(PaletteGrid::shpOld), cell0.adjusted(-1, -1, 1, 1));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(app->Map().IsIdentity());
    // Nothing is written until something changes.
    EXPECT_FALSE(std::filesystem::exists(programFolder.Path() / "Tintwell.ini"));
}

TEST_F(StartUp, FirstStartPlacesTheWindowAtTheOriginAtItsDesignedSize) {
    Start();
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(main->centralWidget()->width(), main->DesignedClientSize().width());
    EXPECT_FALSE(main->isMaximized());
}

TEST_F(StartUp, StoredPreviewOfZeroStartsWithThePreviewHidden) {
    WriteDiagonalBmp(programFolder / "a.bmp");
    WriteIni("[General]\r\nPreview=0\r\n");
    Start();
    EXPECT_FALSE(main->mnuOptionsShowPreview->isChecked());
    EXPECT_TRUE(main->LoadedView() == nullptr || !main->LoadedView()->isVisible());
}

TEST_F(StartUp, AnyStoredValueButZeroCountsAsTicked) {
    WriteIni("[General]\r\nBackupBMPs=5\r\nPreview=5\r\nRecolorOutside=0\r\n");
    Start();
    EXPECT_TRUE(main->mnuOptionsBackupBMPs->isChecked());
    EXPECT_TRUE(main->mnuOptionsShowPreview->isChecked());
    EXPECT_FALSE(main->mnuOptionsRecolorOutside->isChecked());
}

TEST_F(StartUp, HandWrittenRecolorSectionFillsTheColourMap) {
    WriteIni("[Recolor]\r\n3=7\r\n4=300\r\n");
    Start();
    EXPECT_EQ(app->Map()[3], 7);
    EXPECT_EQ(app->Map()[4], 4);  // out of range: keeps its own index
    EXPECT_EQ(app->Map()[5], 5);
    EXPECT_FALSE(app->Map().ColorMapChanged());
}

TEST_F(StartUp, StoredFolderThatIsGoneListsTheProgramFolder) {
    WriteDiagonalBmp(programFolder / "here.bmp");
    WriteIni("[General]\r\nFolder=/no/such/folder\r\n");
    Start();
    EXPECT_EQ(main->FolderTag(), programFolder.Path().string());
    EXPECT_EQ(main->File->count(), 1);
    EXPECT_TRUE(IniHas("Folder=/no/such/folder"));
}

TEST_F(StartUp, StoredFolderIsListed) {
    TempFolder images;
    WriteDiagonalBmp(images / "pic.bmp");
    WriteIni("[General]\r\nFolder=" + images.Path().string() + "\r\n");
    Start();
    EXPECT_EQ(main->FolderTag(), images.Path().string());
    ASSERT_EQ(main->File->count(), 1);
    EXPECT_EQ(main->File->item(0)->text(), "pic.bmp");
}

using Options = MainWindowFixture;

TEST_F(Options, TogglingStoresMinusOneAndZero) {
    Start();
    main->mnuOptionsBackupBMPs->trigger();
    EXPECT_FALSE(main->mnuOptionsBackupBMPs->isChecked());
    EXPECT_TRUE(IniHas("BackupBMPs=0"));
    main->mnuOptionsBackupBMPs->trigger();
    EXPECT_TRUE(main->mnuOptionsBackupBMPs->isChecked());
    EXPECT_TRUE(IniHas("BackupBMPs=-1"));

    main->mnuOptionsRecolorOutside->trigger();
    EXPECT_TRUE(IniHas("RecolorOutside=0"));
    main->mnuOptionsShowPreview->trigger();
    EXPECT_TRUE(IniHas("Preview=0"));
}

TEST_F(Options, UntickingAndTickingShowPreviewKeepsZoomAndSelection) {
    WriteDiagonalBmp(programFolder / "a.bmp", 40, 30);
    Start();
    frmView* view = main->LoadedView();
    view->vsbZoom()->setValue(3);
    view->MoveSelection(2, 3, 4, 5);

    main->mnuOptionsShowPreview->trigger();
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(main->LoadedView(), view);
    main->mnuOptionsShowPreview->trigger();
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->ZoomValue(), 3);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{2, 3, 4, 5}));
}

TEST_F(Options, TogglingRecolorOutsideRendersThePreviewAtOnce) {
    WriteDiagonalBmp(programFolder / "a.bmp", 20, 20);
    Start();
    frmView* view = main->LoadedView();
    main->lblColor_MouseDown(4, 1, 0, 0, 0);
    main->lblColor_MouseDown(9, 2, 0, 0, 0);  // 4 -> 9
    view->MoveSelection(0, 0, 3, 3);          // pixel (2, 2) holds 4, inside
    view->DoPreview();
    const QImage& outside = view->img(1)->Picture();
    EXPECT_EQ(outside.pixelIndex(2, 2), 4);  // recoloured outside only
    EXPECT_EQ(outside.pixelIndex(4, 0), 9);

    main->mnuOptionsRecolorOutside->trigger();
    const QImage& inside = view->img(1)->Picture();
    EXPECT_EQ(inside.pixelIndex(2, 2), 9);
    EXPECT_EQ(inside.pixelIndex(4, 0), 4);
}

TEST_F(Options, TogglingWhileClosingChangesNeitherTickNorSetting) {
    Start();
    main->Form_Unload();
    const std::string before = Ini();
    const bool outside = main->mnuOptionsRecolorOutside->isChecked();
    const bool preview = main->mnuOptionsShowPreview->isChecked();
    main->mnuOptionsRecolorOutside->trigger();
    main->mnuOptionsShowPreview->trigger();
    EXPECT_EQ(main->mnuOptionsRecolorOutside->isChecked(), outside);
    EXPECT_EQ(main->mnuOptionsShowPreview->isChecked(), preview);
    EXPECT_EQ(Ini(), before);
}

using Unload = MainWindowFixture;

TEST_F(Unload, StoresBothPlacementsAndKeepsPreviewTicked) {
    Start();
    main->move(30, 45);
    main->resize(main->width() + 60, main->height() + 30);
    QCoreApplication::processEvents();
    const QRect frame = main->frameGeometry();
    Close();
    EXPECT_TRUE(IniHas("Left=" + std::to_string(frame.x() * 15)));
    EXPECT_TRUE(IniHas("Top=" + std::to_string(frame.y() * 15)));
    EXPECT_TRUE(IniHas("Width=" + std::to_string(frame.width() * 15)));
    EXPECT_TRUE(IniHas("WindowState=0"));
    EXPECT_NE(Ini().find("[Preview]\r\n"), std::string::npos);
    // Unloading the preview with the program does not store the option as off.
    EXPECT_EQ(Ini().find("Preview=0"), std::string::npos);
}

TEST_F(Unload, PlacementRoundTripsThroughTheSettings) {
    Start();
    main->move(40, 50);
    main->resize(main->width() + 100, main->height() + 20);
    QCoreApplication::processEvents();
    const QRect frame = main->frameGeometry();
    const QRect viewFrame = QRect(QPoint(200, 120), main->LoadedView()->frameGeometry().size());
    main->LoadedView()->move(viewFrame.topLeft());
    Close();

    Start();
    EXPECT_EQ(main->frameGeometry(), frame);
    EXPECT_EQ(main->LoadedView()->frameGeometry().topLeft(), viewFrame.topLeft());
}

TEST_F(Unload, ClosingMaximizedStoresOnlyTheState) {
    Start();
    main->move(40, 50);
    QCoreApplication::processEvents();
    Close();
    Start();
    main->showMaximized();
    QCoreApplication::processEvents();
    Close();
    EXPECT_TRUE(IniHas("WindowState=2"));
    EXPECT_TRUE(IniHas("Left=600"));  // the normal rectangle of the run before
    Start();
    EXPECT_TRUE(main->isMaximized());
}

TEST_F(Unload, ExitMenuClosesTheWindow) {
    Start();
    main->mnuFileExit->trigger();
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(main->IsClosing());
    EXPECT_NE(Ini().find("[Main]"), std::string::npos);
}

}  // namespace
}  // namespace tintwell::test
