#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QWidget>
#include <utility>
#include <vector>

#include "shell/clsHelpViewer.h"
#include "shell/modHelp.h"
#include "support/RecordingMessageBox.h"

namespace tintwell {
namespace {

const QString kHelpSource = QStringLiteral(TINTWELL_HELP_SOURCE);

// Help viewer double: records what it was asked to show.
class FakeViewer : public IHelpViewer {
  public:
    bool ShowTopic(const QString& helpFile, std::int32_t contextId) override {
        calls.emplace_back(helpFile, contextId);
        return opens;
    }
    bool opens = true;
    std::vector<std::pair<QString, std::int32_t>> calls;
};

TEST(ResolveHelpFile, EmptyPathFallsBackToTheApplicationsHelpFile) {
    EXPECT_EQ(ResolveHelpFile(QString(), QStringLiteral("/opt/t/Tintwell.html")),
              QStringLiteral("/opt/t/Tintwell.html"));
    EXPECT_EQ(ResolveHelpFile(QStringLiteral("/x/other.html"), QStringLiteral("/opt/t/a.html")),
              QStringLiteral("/x/other.html"));
}

TEST(HelpFileIn, IsTintwellHtmlInTheProgramsFolder) {
    EXPECT_EQ(HelpFileIn(QStringLiteral("/opt/tintwell")),
              QStringLiteral("/opt/tintwell/Tintwell.html"));
}

TEST(ShowHelpTopic, BothPathsEmptyDoesNothing) {
    FakeViewer viewer;
    test::RecordingMessageBox messages;
    ShowHelpTopic(kHelpContentsContext, QString(), QString(), viewer, messages);
    EXPECT_TRUE(viewer.calls.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ShowHelpTopic, EmptyPathShowsTheApplicationsHelpFileAtTheContext) {
    FakeViewer viewer;
    test::RecordingMessageBox messages;
    ShowHelpTopic(1000, QString(), QStringLiteral("/opt/t/Tintwell.html"), viewer, messages);
    ASSERT_EQ(viewer.calls.size(), 1u);
    EXPECT_EQ(viewer.calls[0].first, QStringLiteral("/opt/t/Tintwell.html"));
    EXPECT_EQ(viewer.calls[0].second, 1000);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ShowHelpTopic, HelpFileThatCannotBeOpenedIsReportedByName) {
    FakeViewer viewer;
    viewer.opens = false;
    test::RecordingMessageBox messages;
    ShowHelpTopic(1000, QString(), QStringLiteral("/nowhere/Tintwell.html"), viewer, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The help file \"/nowhere/Tintwell.html\" could not be opened.");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::OK);
}

TEST(clsHelpViewer, ShowsTheContentsTopicForContext1000) {
    QWidget owner;
    clsHelpViewer* viewer = clsHelpViewer::For(&owner);
    ASSERT_TRUE(viewer->ShowTopic(kHelpSource, kHelpContentsContext));
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Tintwell Help"));
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("1000"));
    QTextDocument* doc = viewer->Browser()->document();
    EXPECT_FALSE(doc->find(QStringLiteral("Contents")).isNull());
    EXPECT_FALSE(doc->find(QStringLiteral("Recolor Selected BMPs")).isNull());
}

TEST(clsHelpViewer, IsOneWindowPerOwner) {
    QWidget owner;
    clsHelpViewer* first = clsHelpViewer::For(&owner);
    EXPECT_EQ(clsHelpViewer::For(&owner), first);
    EXPECT_EQ(first->parentWidget(), &owner);
}

// Anchor names defined in a document, and the in-document links it holds.
std::pair<QStringList, QStringList> AnchorsAndLinks(const QTextDocument& doc) {
    QStringList names, links;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            names += format.anchorNames();
            if (format.anchorHref().startsWith(QLatin1Char('#'))) links += format.anchorHref();
        }
    }
    return {names, links};
}

TEST(HelpFile, EveryInternalLinkLeadsToATopic) {
    QFile file(kHelpSource);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(file.readAll()));
    const auto [names, links] = AnchorsAndLinks(doc);
    EXPECT_TRUE(names.contains(QStringLiteral("1000")));
    EXPECT_GE(links.size(), 10);
    for (const QString& link : links) {
        EXPECT_TRUE(names.contains(link.mid(1))) << "no topic for " << link.toStdString();
    }
}

TEST(clsHelpViewer, MissingHelpFileIsRefusedAndNotShown) {
    QTemporaryDir dir;
    QWidget owner;
    clsHelpViewer* viewer = clsHelpViewer::For(&owner);
    EXPECT_FALSE(viewer->ShowTopic(QDir(dir.path()).filePath("Tintwell.html"), 1000));
    EXPECT_FALSE(viewer->ShowTopic(dir.path(), 1000));  // a folder is no help file
    EXPECT_FALSE(viewer->isVisible());
}

TEST(clsHelpViewer, ContentsButtonReturnsToContextAfterAnotherTopic) {
    QWidget owner;
    clsHelpViewer* viewer = clsHelpViewer::For(&owner);
    ASSERT_TRUE(viewer->ShowTopic(kHelpSource, 1030));
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("1030"));
    const int topicScroll = viewer->Browser()->verticalScrollBar()->value();
    EXPECT_GT(topicScroll, 100);
    auto* contents = viewer->findChild<QToolButton*>(QStringLiteral("HelpContents"));
    ASSERT_NE(contents, nullptr);
    contents->click();
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("1000"));
    EXPECT_LT(viewer->Browser()->verticalScrollBar()->value(), topicScroll / 4);
}

}  // namespace
}  // namespace tintwell
