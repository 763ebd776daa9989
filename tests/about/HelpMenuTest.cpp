// The main window's Help menu: Contents (F1) opens the help file beside the
// program at its contents topic; About shows the About window modally.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <filesystem>

#include "shell/clsHelpViewer.h"
#include "support/MainWindowFixture.h"
#include "ui/about/frmAbout.h"

namespace tintwell::test {
namespace {

class HelpMenu : public MainWindowFixture {
  protected:
    void PutHelpFileBesideTheProgram() {
        std::filesystem::copy_file(TINTWELL_HELP_SOURCE, programFolder.Path() / "Tintwell.html");
    }
    void PressF1() {
        QApplication::setActiveWindow(main.get());
        main->activateWindow();
        QTest::keyClick(main.get(), Qt::Key_F1);
    }
    clsHelpViewer* Viewer() { return main->findChild<clsHelpViewer*>(); }
};

TEST_F(HelpMenu, HasContentsWithF1AndAboutInThatOrder) {
    Start();
    EXPECT_EQ(main->mnuHelp->title(), QStringLiteral("&Help"));
    const QList<QAction*> items = main->mnuHelp->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("&Contents"));
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), QStringLiteral("&About"));
    EXPECT_EQ(main->menuBar()->actions().last(), main->mnuHelp->menuAction());
}

TEST_F(HelpMenu, F1ShowsTheContentsTopicOfTheHelpFileBesideTheProgram) {
    PutHelpFileBesideTheProgram();
    Start();
    PressF1();
    clsHelpViewer* viewer = Viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("1000"));
    EXPECT_EQ(std::filesystem::path(viewer->HelpFile().toStdString()),
              programFolder.Path() / "Tintwell.html");
    EXPECT_FALSE(viewer->Browser()->document()->find(QStringLiteral("Contents")).isNull());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(HelpMenu, MissingHelpFileIsReportedNamingTheFile) {
    Start();
    main->mnuHelpContents->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "The help file \"" +
                                          (programFolder.Path() / "Tintwell.html").string() +
                                          "\" could not be opened.");
    EXPECT_TRUE(Viewer() == nullptr || !Viewer()->isVisible());
}

TEST_F(HelpMenu, AboutIsModalAndOwnedByTheMainWindow) {
    Start();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        if (!about) {
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
            return;
        }
        seen = true;
        EXPECT_EQ(about->parentWidget(), main.get());
        EXPECT_TRUE(about->isModal());
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About Tintwell"));
        about->cmdOK->click();
    });
    main->mnuHelpAbout->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace tintwell::test
