// The "&Color Map" menu: storing, overwriting, loading, deleting and resetting
// named colour maps, and the question about an unsaved map on closing.
#include <QMenuBar>

#include "support/MainWindowFixture.h"
#include "support/QStringPrinter.h"

namespace tintwell::test {
namespace {

class ColorMapMenus : public MainWindowFixture {
  protected:
    tintwell::ColorMapMenus& Menus() { return *main->ColorMaps(); }

    // The names listed by the three submenus, checked to be equal.
    QStringList Listed() {
        auto texts = [](const std::vector<QAction*>& list) {
            QStringList t;
            for (QAction* a : list)
                t << a->text();
            return t;
        };
        const QStringList load = texts(Menus().mnuColorMapLoadMap);
        EXPECT_EQ(texts(Menus().mnuColorMapSaveAsMap), load);
        EXPECT_EQ(texts(Menus().mnuColorMapDeleteMap), load);
        EXPECT_EQ(Menus().mnuColorMapLoad->actions().size(), load.size());
        return load;
    }
    bool ListsEnabled() {
        const bool on = Menus().mnuColorMapLoad->menuAction()->isEnabled();
        EXPECT_EQ(Menus().mnuColorMapSaveAs->menuAction()->isEnabled(), on);
        EXPECT_EQ(Menus().mnuColorMapDelete->menuAction()->isEnabled(), on);
        return on;
    }
    // The lines of section "List n" in the file, header included, up to the next blank line.
    std::string Section(int n) {
        const std::string ini = Ini();
        const std::string header = "[List " + std::to_string(n) + "]\r\n";
        const auto at = ini.find(header);
        if (at == std::string::npos) return {};
        const auto end = ini.find("\r\n\r\n", at);
        return ini.substr(at, end == std::string::npos ? std::string::npos : end - at + 2);
    }
    std::uint64_t Writes() { return app->Settings().Ini().WriteCount(); }
    void Edit(int from, int to) {
        main->lblColor_MouseDown(from, 1, 0, 0, 0);
        main->lblColor_MouseDown(to, 2, 0, 0, 0);
    }

    static constexpr const char* kFourMaps =
        "[General]\r\nNumColorMaps=4\r\n\r\n"
        "[List 1]\r\n1=11\r\nName=A\r\n\r\n"
        "[List 2]\r\n2=22\r\n7=70\r\nName=B\r\n\r\n"
        "[List 3]\r\n3=33\r\nName=C\r\n\r\n"
        "[List 4]\r\n4=44\r\nName=D\r\n";
};

TEST_F(ColorMapMenus, MenuHoldsTheCommandsInOrder) {
    Start();
    QStringList texts;
    for (QAction* a : Menus().mnuColorMap->actions())
        texts << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(texts, (QStringList{"&Save", "Save &As...", "&Load", "&Delete", "-", "&Reset", "-",
                                  "&Undo", "R&edo"}));
    EXPECT_EQ(main->menuBar()->actions().at(1), Menus().mnuColorMap->menuAction());
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_FALSE(ListsEnabled());
    EXPECT_TRUE(Menus().mnuColorMapSave->isEnabled());
    EXPECT_TRUE(Menus().mnuColorMapReset->isEnabled());
}

TEST_F(ColorMapMenus, FirstSaveOnAFreshInstallationBecomesList1) {
    Start();
    Edit(3, 7);
    ASSERT_TRUE(app->Map().ColorMapChanged());
    prompt.answers = {"Night"};
    const auto before = Writes();
    Menus().mnuColorMapSave->trigger();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].prompt, "What do you want to call this color map?");
    EXPECT_EQ(prompt.shown[0].title, "Save Color Map");
    EXPECT_EQ(prompt.shown[0].defaultText, "");
    EXPECT_TRUE(IniHas("NumColorMaps=1"));
    EXPECT_EQ(Section(1), "[List 1]\r\n3=7\r\nName=Night\r\n");
    EXPECT_EQ(Listed(), QStringList{"Night"});
    EXPECT_TRUE(ListsEnabled());
    EXPECT_FALSE(app->Map().ColorMapChanged());
    EXPECT_EQ(Writes() - before, 1u);  // saving a map writes the file once
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ColorMapMenus, SavingTheIdentityMapStoresOnlyTheName) {
    Start();
    prompt.answers = {"Plain"};
    Menus().mnuColorMapSave->trigger();
    EXPECT_EQ(Section(1), "[List 1]\r\nName=Plain\r\n");
}

TEST_F(ColorMapMenus, CancelledOrEmptyNameStoresNothing) {
    Start();
    prompt.answers = {""};
    Menus().mnuColorMapSave->trigger();
    prompt.answers = {"\r\n"};
    Menus().mnuColorMapSave->trigger();
    EXPECT_FALSE(std::filesystem::exists(programFolder.Path() / "Tintwell.ini") &&
                 Ini().find("List") != std::string::npos);
    EXPECT_TRUE(Listed().isEmpty());
}

class OverwriteQuestion : public ColorMapMenus {
  protected:
    void SetUp() override {
        ColorMapMenus::SetUp();
        WriteIni(
            "[General]\r\nNumColorMaps=2\r\n\r\n[List 1]\r\nName=Red\r\n\r\n"
            "[List 2]\r\n5=6\r\nName=Blue\r\n");
        Start();
        Edit(9, 1);
    }
    void ExpectQuestionFor(const std::string& name) {
        ASSERT_FALSE(messages.shown.empty());
        const MessageRequest& q = messages.shown.front();
        EXPECT_EQ(q.text, "You currently have a color map called \"" + name + "\". Overwrite?");
        EXPECT_EQ(q.title, "Overwrite Color Map");
        EXPECT_EQ(q.buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(q.icon, MsgIcon::Question);
        EXPECT_EQ(q.defaultButton, 0);
    }
};

TEST_F(OverwriteQuestion, YesStoresOverTheMatchWithTheNameAsTyped) {
    prompt.answers = {"blue"};
    messages.answers = {MsgResult::Yes};
    const auto before = Writes();
    Menus().mnuColorMapSave->trigger();
    ExpectQuestionFor("blue");
    EXPECT_EQ(Section(2), "[List 2]\r\n9=1\r\nName=blue\r\n");
    EXPECT_TRUE(IniHas("NumColorMaps=2"));
    EXPECT_EQ(Listed(), (QStringList{"Red", "blue"}));
    EXPECT_EQ(Writes() - before, 1u);
}

TEST_F(OverwriteQuestion, NoAsksForANameAgain) {
    prompt.answers = {"BLUE", "Green"};
    messages.answers = {MsgResult::No};
    Menus().mnuColorMapSave->trigger();
    ExpectQuestionFor("BLUE");
    EXPECT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(Section(2), "[List 2]\r\n5=6\r\nName=Blue\r\n");
    EXPECT_EQ(Section(3), "[List 3]\r\n9=1\r\nName=Green\r\n");
    EXPECT_EQ(Listed(), (QStringList{"Red", "Blue", "Green"}));
}

TEST_F(OverwriteQuestion, CancelChangesNothing) {
    const std::string before = Ini();
    prompt.answers = {"blue"};
    messages.answers = {MsgResult::Cancel};
    Menus().mnuColorMapSave->trigger();
    EXPECT_EQ(Ini(), before);
    EXPECT_EQ(prompt.shown.size(), 1u);
    EXPECT_TRUE(app->Map().ColorMapChanged());
}

TEST_F(ColorMapMenus, SaveAsOntoMap1Of3KeepsItsNameAndTheOthers) {
    WriteIni(
        "[General]\r\nNumColorMaps=3\r\n\r\n[List 1]\r\n1=2\r\nName=Red\r\n\r\n"
        "[List 2]\r\n8=9\r\nName=Blue\r\n\r\n[List 3]\r\nName=Green\r\n");
    Start();
    Edit(4, 5);
    const auto before = Writes();
    Menus().mnuColorMapSaveAsMap[0]->trigger();
    EXPECT_EQ(Section(1), "[List 1]\r\n4=5\r\nName=Red\r\n");
    EXPECT_EQ(Section(2), "[List 2]\r\n8=9\r\nName=Blue\r\n");
    EXPECT_EQ(Section(3), "[List 3]\r\nName=Green\r\n");
    EXPECT_TRUE(IniHas("NumColorMaps=3"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_FALSE(app->Map().ColorMapChanged());
    EXPECT_EQ(Writes() - before, 1u);
}

TEST_F(ColorMapMenus, DeleteMap2Of4MovesTheLaterMapsDown) {
    WriteIni(kFourMaps);
    Start();
    messages.answers = {MsgResult::Yes};
    const auto before = Writes();
    Menus().mnuColorMapDeleteMap[1]->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Are you sure you want to delete \"B\"?");
    EXPECT_EQ(messages.shown[0].title, "Delete Color Map");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(messages.shown[0].defaultButton, 0);
    EXPECT_EQ(Section(1), "[List 1]\r\n1=11\r\nName=A\r\n");
    EXPECT_EQ(Section(2), "[List 2]\r\n3=33\r\nName=C\r\n");  // nothing of B survives
    EXPECT_EQ(Section(3), "[List 3]\r\n4=44\r\nName=D\r\n");
    EXPECT_EQ(Section(4), "");
    EXPECT_TRUE(IniHas("NumColorMaps=3"));
    EXPECT_EQ(Listed(), (QStringList{"A", "C", "D"}));
    EXPECT_EQ(Writes() - before, 1u);
}

TEST_F(ColorMapMenus, DeleteAnsweredNoChangesNothing) {
    WriteIni(kFourMaps);
    Start();
    messages.answers = {MsgResult::No};
    Menus().mnuColorMapDeleteMap[0]->trigger();
    EXPECT_EQ(Ini(), kFourMaps);
    EXPECT_EQ(Listed().size(), 4);
}

TEST_F(ColorMapMenus, DeletingTheOnlyMapEmptiesTheListsAndTheNextSaveIsList1) {
    WriteIni("[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\n1=2\r\nName=Only\r\n");
    Start();
    messages.answers = {MsgResult::Yes};
    Menus().mnuColorMapDeleteMap[0]->trigger();
    EXPECT_TRUE(IniHas("NumColorMaps=0"));
    EXPECT_EQ(Section(1), "");
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_FALSE(ListsEnabled());
    prompt.answers = {"Again"};
    Menus().mnuColorMapSave->trigger();
    EXPECT_EQ(Section(1), "[List 1]\r\nName=Again\r\n");
    EXPECT_TRUE(IniHas("NumColorMaps=1"));
}

TEST_F(ColorMapMenus, MapWithoutANameIsListedAsErrorAndMovedAsError) {
    WriteIni(
        "[General]\r\nNumColorMaps=2\r\n\r\n[List 1]\r\nName=First\r\n\r\n[List 2]\r\n6=7\r\n");
    Start();
    EXPECT_EQ(Listed(), (QStringList{"First", "ERROR: No name found"}));
    messages.answers = {MsgResult::Yes};
    Menus().mnuColorMapDeleteMap[0]->trigger();
    EXPECT_EQ(Section(1), "[List 1]\r\n6=7\r\nName=ERROR\r\n");
}

TEST_F(ColorMapMenus, LoadGivesAbsentIndicesTheirOwnValueAndRerendersThePreview) {
    WriteDiagonalBmp(programFolder / "a.bmp");
    WriteIni("[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\n3=7\r\nName=N\r\n");
    Start();
    Edit(5, 9);
    const int renders = main->LoadedView()->RenderCount();
    Menus().mnuColorMapLoadMap[0]->trigger();
    EXPECT_EQ(app->Map()[3], 7);
    EXPECT_EQ(app->Map()[5], 5);
    EXPECT_TRUE(app->Map().ColorMapChanged());  // left as it was
    EXPECT_GT(main->LoadedView()->RenderCount(), renders);
}

TEST_F(ColorMapMenus, ResetLoadResetEndsAtIdentityWithColor0Selected) {
    WriteIni("[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\n3=7\r\n200=0\r\nName=N\r\n");
    Start();
    Edit(12, 40);
    Menus().mnuColorMapReset->trigger();
    EXPECT_TRUE(app->Map().IsIdentity());
    EXPECT_EQ(main->SelectedColor(), 0);
    main->lblColor_MouseDown(12, 1, 0, 0, 0);
    Menus().mnuColorMapLoadMap[0]->trigger();
    EXPECT_EQ(app->Map()[200], 0);
    Menus().mnuColorMapReset->trigger();
    EXPECT_TRUE(app->Map().IsIdentity());
    EXPECT_EQ(main->SelectedColor(), 0);
    EXPECT_EQ(main->lblColorNum[0]->text(), "0 (00h)");
}

TEST_F(ColorMapMenus, NameWithLineBreaksCannotForgeSections) {
    Start();
    prompt.answers = {"Sea\r\n[List 9]\r\nName=x\n"};
    Menus().mnuColorMapSave->trigger();
    EXPECT_EQ(Section(1), "[List 1]\r\nName=Sea [List 9] Name=x\r\n");
    EXPECT_EQ(Ini().find("\r\n[List 9]"), std::string::npos);
    EXPECT_EQ(Listed(), QStringList{"Sea [List 9] Name=x"});
    EXPECT_EQ(MapNameFromPrompt("\r\nTwo\n\nLines\r"), "Two Lines");
}

// --- the close question ------------------------------------------------------------

TEST_F(ColorMapMenus, CloseAfterAnEditAsksAndCancelKeepsEverything) {
    WriteDiagonalBmp(programFolder / "a.bmp");
    Start();
    Edit(2, 3);
    const std::string before = Ini();
    messages.answers = {MsgResult::Cancel};
    EXPECT_FALSE(main->close());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Save current color map?");
    EXPECT_EQ(messages.shown[0].title, "Save Color Map?");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->IsClosing());
    EXPECT_TRUE(main->LoadedView()->isVisible());
    EXPECT_EQ(Ini(), before);
}

TEST_F(ColorMapMenus, CloseQuestionYesSavesThenCloses) {
    Start();
    Edit(2, 3);
    messages.answers = {MsgResult::Yes};
    prompt.answers = {"Kept"};
    EXPECT_TRUE(main->close());
    EXPECT_EQ(Section(1), "[List 1]\r\n2=3\r\nName=Kept\r\n");
}

TEST_F(ColorMapMenus, CloseQuestionYesClosesEvenWhenThePromptIsCancelled) {
    Start();
    Edit(2, 3);
    messages.answers = {MsgResult::Yes};
    EXPECT_TRUE(main->close());
    EXPECT_EQ(Section(1), "");
}

TEST_F(ColorMapMenus, NoQuestionAfterSavingOrAfterResetAndLoadAlone) {
    WriteIni("[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\n3=7\r\nName=N\r\n");
    Start();
    Menus().mnuColorMapLoadMap[0]->trigger();
    Menus().mnuColorMapReset->trigger();
    Edit(2, 3);
    prompt.answers = {"Saved"};
    Menus().mnuColorMapSave->trigger();
    EXPECT_TRUE(main->close());
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace tintwell::test
