#include "ui/toolkit/Application.h"

#include <gtest/gtest.h>

#include "support/RecordingMessageBox.h"
#include "support/RecordingTextPrompt.h"
#include "support/WindowsTestKit.h"

namespace tintwell::test {
namespace {

TEST(Application, StartsWithIdentityMapAndSettingsInTheProgramFolder) {
    TempFolder folder;
    RecordingMessageBox messages;
    RecordingTextPrompt prompt;
    Application app(AppInfo(folder.Path().string()), messages, prompt);
    EXPECT_TRUE(app.Map().IsIdentity());
    EXPECT_FALSE(app.Map().ColorMapChanged());
    EXPECT_EQ(app.Settings().Path(), folder.Path() / "Tintwell.ini");
    app.Settings().Load();
    app.Settings().SetZoom(3);
    EXPECT_NE(ReadFile(folder.Path() / "Tintwell.ini").find("Zoom=3"), std::string::npos);
    EXPECT_EQ(&app.Messages(), &messages);
    EXPECT_EQ(&app.Prompt(), &prompt);
}

TEST(Application, EachInstanceHasItsOwnState) {
    TempFolder a, b;
    RecordingMessageBox messages;
    RecordingTextPrompt prompt;
    Application first(AppInfo(a.Path().string()), messages, prompt);
    Application second(AppInfo(b.Path().string()), messages, prompt);
    first.Map().SetMapping(1, 2);
    EXPECT_TRUE(second.Map().IsIdentity());
}

TEST(RecordingTextPrompt, AnswersFromTheScriptThenAsCancel) {
    RecordingTextPrompt prompt;
    prompt.answers = {"Ocean"};
    EXPECT_EQ(prompt.Ask({"Name:", "", ""}), "Ocean");
    EXPECT_EQ(prompt.Ask({"Name:", "", "x"}), "");
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[1].defaultText, "x");
}

}  // namespace
}  // namespace tintwell::test
