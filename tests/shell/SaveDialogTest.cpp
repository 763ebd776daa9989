#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "shell/modCommonDialog.h"
#include "support/ScriptedFileDialogExec.h"
#include "support/WindowsTestKit.h"

namespace tintwell {
namespace {

using test::ScriptedFileDialogExec;

const QString kFilter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";

class SaveDialogTest : public test::WithTestApp, public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    QString Show(const QString& fileName, int32_t& index) {
        return ShowSaveDialog(&owner, kFilter, "Save color index list", root.path(), "txt",
                              fileName, index, &exec);
    }

    QTemporaryDir root;
    QWidget owner;
    ScriptedFileDialogExec exec;
};

TEST_F(SaveDialogTest, ShowsItsArguments) {
    int32_t index = 0;
    exec.answers.push_back(ScriptedFileDialogExec::Cancel());
    EXPECT_EQ(Show("castle.txt", index), QString());
    ASSERT_EQ(exec.shown.size(), 1u);
    const auto& s = exec.shown.front();
    EXPECT_EQ(s.owner, &owner);
    EXPECT_EQ(s.title, "Save color index list");
    EXPECT_EQ(s.acceptMode, QFileDialog::AcceptSave);
    EXPECT_EQ(s.directory, root.path());
    EXPECT_EQ(s.fileNameText, "castle.txt");
    EXPECT_EQ(s.defaultSuffix, "txt");
    EXPECT_EQ(s.nameFilters, (QStringList{"Text files (*.txt)", "All files (*)"}));
    EXPECT_EQ(s.selectedNameFilter, "Text files (*.txt)");
    EXPECT_FALSE(s.options.testFlag(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(index, 1);  // comes back on cancel too
}

TEST_F(SaveDialogTest, FilterIndexGoesInFromOneAndComesBack) {
    int32_t index = 2;
    auto answer = ScriptedFileDialogExec::Choose({"list"});
    exec.answers.push_back(answer);
    const QString path = Show("", index);
    EXPECT_EQ(exec.shown.front().selectedNameFilter, "All files (*)");
    EXPECT_EQ(path, QDir(root.path()).filePath("list.txt"));  // default extension added
    EXPECT_EQ(index, 2);

    answer.nameFilter = "All files (*)";
    answer.choose = {"other.csv"};
    exec.answers.push_back(answer);
    index = 1;
    EXPECT_EQ(Show("", index), QDir(root.path()).filePath("other.csv"));
    EXPECT_EQ(index, 2);
}

TEST_F(SaveDialogTest, PathLongerThan254CharactersComesBackWhole) {
    QString deep = root.path();
    while (deep.size() < 300)
        deep += "/folder_with_a_long_name";
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString chosen = deep + "/castle.txt";
    ASSERT_GT(chosen.size(), 254);
    exec.answers.push_back(ScriptedFileDialogExec::Choose({chosen}));
    int32_t index = 0;
    EXPECT_EQ(Show("castle.txt", index), chosen);
}

TEST_F(SaveDialogTest, ExistingFileIsReplacedOnlyAfterTheDialogAsks) {
    const QString existing = QDir(root.path()).filePath("kept.txt");
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QStringList answersGiven;
    auto answerQuestion = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [&, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            answersGiven << box->text();
            box->button(button)->click();
        });
    };
    bool openAfterNo = false;
    auto answer = ScriptedFileDialogExec::Choose({existing});
    answer.during = [&](QFileDialog& d) {
        d.selectFile(existing);
        answerQuestion(QMessageBox::No);
        static_cast<QDialog&>(d).accept();
        openAfterNo = d.result() != QDialog::Accepted;
        answerQuestion(QMessageBox::Yes);  // for the scripted accept that follows
    };
    exec.answers.push_back(answer);
    int32_t index = 0;
    EXPECT_EQ(Show("", index), existing);
    EXPECT_TRUE(openAfterNo);
    ASSERT_EQ(answersGiven.size(), 2);
    EXPECT_TRUE(answersGiven.front().contains("kept.txt"));
}

TEST_F(SaveDialogTest, RealDialogAcceptedFromTheEventLoop) {
    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile("real");
        static_cast<QDialog*>(dialog)->accept();
    });
    int32_t index = 0;
    EXPECT_EQ(
        ShowSaveDialog(&owner, kFilter, "Save color index list", root.path(), "txt", "", index),
        QDir(root.path()).filePath("real.txt"));
}

}  // namespace
}  // namespace tintwell
