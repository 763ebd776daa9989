#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include "shell/IFileDialog.h"
#include "shell/modBrowseForFolder.h"
#include "support/ScriptedFileDialogExec.h"
#include "support/WindowsTestKit.h"

namespace tintwell {
namespace {

using test::ScriptedFileDialogExec;

class BrowseForFolderTest : public test::WithTestApp, public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath("start"));
        ASSERT_TRUE(QDir(root.path()).mkpath("picked folder"));
        start = QDir(root.path()).filePath("start");
        picked = QDir(root.path()).filePath("picked folder");
    }

    QTemporaryDir root;
    QString start;
    QString picked;
    QWidget owner;
    ScriptedFileDialogExec exec;
};

TEST_F(BrowseForFolderTest, ConfirmedReturnsTheFolderPathExactly) {
    exec.answers.push_back(ScriptedFileDialogExec::Choose({picked}));
    EXPECT_EQ(BrowseForFolder(start, &owner, "Select a folder", &exec), picked);
    ASSERT_EQ(exec.shown.size(), 1u);
    const auto& shown = exec.shown.front();
    EXPECT_EQ(shown.title, "Select a folder");
    EXPECT_EQ(shown.owner, &owner);
    EXPECT_EQ(shown.directory, start);
    EXPECT_EQ(shown.fileMode, QFileDialog::Directory);
    EXPECT_TRUE(shown.options.testFlag(QFileDialog::ShowDirsOnly));
    EXPECT_EQ(shown.acceptMode, QFileDialog::AcceptOpen);
}

TEST_F(BrowseForFolderTest, CancelledReturnsEmpty) {
    exec.answers.push_back(ScriptedFileDialogExec::Cancel());
    EXPECT_EQ(BrowseForFolder(start, &owner, "Select a folder", &exec), QString());
    EXPECT_EQ(exec.shown.size(), 1u);
}

TEST_F(BrowseForFolderTest, StartFolderThatDoesNotExistIsNotUsed) {
    const QString missing = QDir(root.path()).filePath("gone");
    exec.answers.push_back(ScriptedFileDialogExec::Cancel());
    BrowseForFolder(missing, &owner, "Select a folder", &exec);
    ASSERT_EQ(exec.shown.size(), 1u);
    EXPECT_NE(exec.shown.front().directory, missing);
}

TEST_F(BrowseForFolderTest, KeepsItsFlagsWhileShowing) {
    // The picker's own flags already hold PICKFOLDERS, and without
    // FORCEFILESYSTEM the all-items bit stays.
    uint32_t flagsWhileShowing = 0;
    IFileDialog dialog(&exec);
    dialog.propFlags(kBrowseForFolderFlags);
    auto answer = ScriptedFileDialogExec::Cancel();
    answer.during = [&](QFileDialog&) { flagsWhileShowing = dialog.propFlags(); };
    exec.answers.push_back(answer);
    dialog.DialogShow(&owner, 2, "Select a folder");
    EXPECT_EQ(flagsWhileShowing, 0x18A0u);
    EXPECT_EQ(dialog.propFlags(), 0u);
}

TEST_F(BrowseForFolderTest, RealDialogAcceptedFromTheEventLoop) {
    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Select a folder");
        dialog->setDirectory(picked);
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(BrowseForFolder(start, &owner, "Select a folder"), picked);
}

TEST_F(BrowseForFolderTest, RealDialogRejectedFromTheEventLoop) {
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            qobject_cast<QDialog*>(dialog)->reject();
        }
    });
    EXPECT_EQ(BrowseForFolder(start, &owner, "Select a folder"), QString());
}

}  // namespace
}  // namespace tintwell
