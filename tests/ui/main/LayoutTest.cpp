// Layout rules of the main window and its size limits.
#include "support/MainWindowFixture.h"

namespace tintwell::test {
namespace {

using Layout = MainWindowFixture;

TEST_F(Layout, DesignedClientAreaGivesTheDesignedPositions) {
    Start();
    // 466 x 337 widened to hold the information column: 480 x 337
    main->centralWidget()->resize(main->DesignedClientSize());
    main->Form_Resize();
    EXPECT_EQ(main->cmdBrowse->x(), 451);
    EXPECT_EQ(main->lblFolder->width(), 443);
    EXPECT_EQ(main->File->geometry().bottom() + 1, 300);  // 4500 twips
    EXPECT_EQ(main->cmdRecolor->geometry(), QRect(128, 308, 344, 21));
    EXPECT_EQ(main->cmdRefreshFiles->geometry(), QRect(8, 308, 113, 21));
}

TEST_F(Layout, WideningMovesBrowseAndWidensLabelAndRecolorButton) {
    Start();
    const QRect grid = main->lblColor->geometry();
    const QRect info = main->lblColorNum[1]->geometry();
    main->resize(main->width() + 200, main->height() + 100);
    QCoreApplication::processEvents();
    const int W = main->centralWidget()->width();
    const int H = main->centralWidget()->height();
    EXPECT_EQ(main->cmdBrowse->geometry().right() + 1, W - 8);
    EXPECT_EQ(main->lblFolder->geometry().right() + 1, main->cmdBrowse->x());
    EXPECT_EQ(main->cmdRecolor->geometry().right() + 1, W - 8);
    EXPECT_EQ(main->cmdRecolor->geometry().bottom() + 1, H - 8);
    EXPECT_EQ(main->cmdRefreshFiles->y(), main->cmdRecolor->y());
    EXPECT_EQ(main->File->geometry().bottom() + 1, H - 21 - 16);
    EXPECT_EQ(main->lblColor->geometry(), grid);
    EXPECT_EQ(main->lblColorNum[1]->geometry(), info);
}

TEST_F(Layout, SmallestWindowKeepsListButtonsAndGridVisible) {
    Start();
    main->resize(10, 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(main->frameGeometry().height(), 393);  // 5895 twips
    const QRect client = main->centralWidget()->rect();
    EXPECT_TRUE(client.contains(main->lbl[1]->geometry()));  // wider than 6225 twips for it
    EXPECT_TRUE(client.contains(main->cmdRecolor->geometry()));
    EXPECT_TRUE(client.contains(main->cmdRefreshFiles->geometry()));
    EXPECT_GT(main->File->height(), 0);
    EXPECT_LE(main->File->geometry().bottom(), main->cmdRefreshFiles->y());
    EXPECT_LE(main->lblColor->CellRect(255).bottom(), main->cmdRecolor->y());
}

TEST_F(Layout, MinimizingAndRestoringKeepsTheLayout) {
    Start();
    const QRect recolor = main->cmdRecolor->geometry();
    main->showMinimized();
    QCoreApplication::processEvents();
    main->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(main->cmdRecolor->geometry(), recolor);
}

// The next widget that Tab reaches after `w`.
QWidget* NextTabStop(QWidget* w) {
    for (QWidget* n = w->nextInFocusChain(); n != w; n = n->nextInFocusChain()) {
        if ((n->focusPolicy() & Qt::TabFocus) && n->isVisibleTo(w->window())) return n;
    }
    return w;
}

TEST_F(Layout, TabOrderFollowsTheDesign) {
    Start();
    EXPECT_EQ(NextTabStop(main->File), main->cmdBrowse);
    EXPECT_EQ(NextTabStop(main->cmdBrowse), main->cmdRecolor);
    EXPECT_EQ(NextTabStop(main->cmdRecolor), main->cmdRefreshFiles);
}

TEST_F(Layout, MenuBarCaptionsAndAccessKeys) {
    Start();
    EXPECT_EQ(main->mnuFile->title(), "&File");
    EXPECT_EQ(main->mnuFileExit->text(), "E&xit");
    EXPECT_EQ(main->mnuOptions->title(), "&Options");
    EXPECT_EQ(main->mnuOptionsShowPreview->text(), "Show Preview");
    EXPECT_EQ(main->mnuOptionsBackupBMPs->text(), "Backup BMPs");
    EXPECT_EQ(main->mnuOptionsRecolorOutside->text(), "Recolor outside of selection");
    EXPECT_EQ(main->windowTitle(), "Tintwell");
    EXPECT_EQ(main->cmdRefreshFiles->text(), "Refresh File List");
    EXPECT_EQ(main->cmdRecolor->text(), "Recolor Selected BMPs");
    EXPECT_EQ(main->lbl[0]->text(), "Selected");
    EXPECT_EQ(main->lbl[1]->text(), "Mouse Over");
    EXPECT_EQ(main->lbl[2]->text(), "Mapping To");
}

}  // namespace
}  // namespace tintwell::test
