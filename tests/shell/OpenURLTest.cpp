#include <gtest/gtest.h>

#include <vector>

#include "shell/DesktopUrlOpener.h"
#include "shell/modOpenFolder.h"
#include "support/RecordingMessageBox.h"

namespace tintwell {
namespace {

// Desktop handler double: records the targets and answers with a fixed code.
class FakeOpener : public IUrlOpener {
  public:
    explicit FakeOpener(std::int32_t result) : result(result) {}
    std::int32_t Open(const QString& target) override {
        targets.push_back(target);
        return result;
    }
    std::int32_t result;
    std::vector<QString> targets;
};

TEST(ShellExecuteErrorText, NamesMissingAssociationForCode31) {
    EXPECT_EQ(ShellExecuteErrorText(31),
              "There is no application associated with the given filename extension.");
}

TEST(ShellExecuteErrorText, CodesOutsideTheTableAreUnknownError) {
    EXPECT_EQ(ShellExecuteErrorText(4), "Unknown Error");
    EXPECT_EQ(ShellExecuteErrorText(-1), "Unknown Error");
    EXPECT_EQ(ShellExecuteErrorText(33), "Unknown Error");
}

TEST(ShellExecuteErrorText, CoversBothEndsOfTheTable) {
    EXPECT_EQ(ShellExecuteErrorText(0), "The operating system is out of memory or resources.");
    EXPECT_EQ(ShellExecuteErrorText(32), "The specified dynamic-link library was not found.");
    EXPECT_EQ(ShellExecuteErrorText(30),
              "The DDE transaction could not be completed because other DDE transactions were "
              "being processed.");
}

TEST(OpenURL, SuccessShowsNothing) {
    FakeOpener opener(42);
    test::RecordingMessageBox messages;
    OpenURL(QStringLiteral("https://www.example.org"), opener, messages);
    ASSERT_EQ(opener.targets.size(), 1u);
    EXPECT_EQ(opener.targets[0], QStringLiteral("https://www.example.org"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(OpenURL, NoHandlerShowsCode31AfterTheTwoFixedLines) {
    FakeOpener opener(31);
    test::RecordingMessageBox messages;
    OpenURL(QStringLiteral("mailto:someone@example.org"), opener, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    const MessageRequest& shown = messages.shown[0];
    EXPECT_EQ(shown.title, "ShellExecute Error");
    EXPECT_EQ(shown.text,
              "Error opening URL in browser.\r\nShellExecute returned code 31: There is no "
              "application associated with the given filename extension.");
    EXPECT_EQ(shown.buttons, MsgButtons::OK);
    EXPECT_EQ(shown.icon, MsgIcon::Information);
}

TEST(OpenURL, ResultOf32IsStillAFailure) {
    FakeOpener opener(32);
    test::RecordingMessageBox messages;
    OpenURL(QStringLiteral("https://example.org"), opener, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Error opening URL in browser.\r\nShellExecute returned code 32: The specified "
              "dynamic-link library was not found.");
}

TEST(OpenURL, UnlistedCodeShowsUnknownError) {
    FakeOpener opener(4);
    test::RecordingMessageBox messages;
    OpenURL(QStringLiteral("https://example.org"), opener, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Error opening URL in browser.\r\nShellExecute returned code 4: Unknown Error");
}

TEST(DesktopUrlOpener, EmptyTargetIsFileNotFound) {
    DesktopUrlOpener opener;
    EXPECT_EQ(opener.Open(QString()), kShellFileNotFound);
    EXPECT_EQ(opener.Open(QStringLiteral("   ")), kShellFileNotFound);
}

}  // namespace
}  // namespace tintwell
