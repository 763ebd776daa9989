// The real progress dialog: it appears for a long batch, shows the file being
// processed, and its Cancel button stops the batch before the next file.
#include "ui/toolkit/QtBatchProgress.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QThread>

#include "support/WindowsTestKit.h"

namespace tintwell::test {
namespace {

TEST(QtBatchProgress, CancelStopsBeforeTheNextFile) {
    TestApp();
    QtBatchProgress progress(nullptr, 0);  // shows at once
    progress.Begin(5);
    ASSERT_TRUE(progress.Next(0, "a.bmp"));
    ASSERT_TRUE(progress.Next(1, "b.bmp"));
    QProgressDialog* dialog = progress.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->labelText(), "Recoloring b.bmp (2 of 5)");
    EXPECT_EQ(dialog->windowTitle(), "Tintwell");
    auto* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(progress.Next(2, "c.bmp"));
    progress.End();
    EXPECT_EQ(progress.Dialog(), nullptr);
}

TEST(QtBatchProgress, ShortBatchShowsNothing) {
    TestApp();
    QtBatchProgress progress(nullptr, 60000);
    progress.Begin(3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(progress.Next(i, "x.bmp"));
    EXPECT_FALSE(progress.Dialog()->isVisible());
    progress.End();
}

TEST(BatchProgressText, NamesTheFileAndItsPlace) {
    EXPECT_EQ(BatchProgressText(0, 30, "tiles.bmp"), "Recoloring tiles.bmp (1 of 30)");
}

}  // namespace
}  // namespace tintwell::test
