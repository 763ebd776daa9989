// The menus: storing, overwriting, loading, deleting and resetting named colour
// maps, undo and redo, the question about an unsaved map on closing, Browse,
// the colour index list, restoring from backup, Help and the layout they sit
// in; opening a path from the command line or a drop.
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

#include "support/GuiKit.h"
#include "ui/main/ColorMapMenus.h"
#include "ui/main/RecentFoldersMenu.h"
#include "ui/preview/frmView.h"
#include "workspace/ColorPairs.h"

namespace tintwell::test {
namespace {

class Menus : public MainWindowFixture {
  protected:
    ColorMapMenus& M() { return *main->ColorMaps(); }
    // The names the three submenus list, checked to be the same.
    QStringList Listed() {
        QStringList lists[3];
        const std::vector<QAction*>* menus[] = {&M().mnuColorMapLoadMap, &M().mnuColorMapSaveAsMap,
                                                &M().mnuColorMapDeleteMap};
        for (int i = 0; i < 3; ++i)
            for (QAction* a : *menus[i])
                lists[i] << a->text() + (a->isVisible() ? "" : " (hidden)");
        EXPECT_TRUE(lists[0] == lists[1] && lists[0] == lists[2]);
        EXPECT_EQ(M().mnuColorMapLoad->actions().size(), lists[0].size());
        EXPECT_EQ(M().mnuColorMapDelete->menuAction()->isEnabled(), !lists[0].isEmpty());
        return lists[0];
    }
    // Section "List n" as the file holds it, or "" when there is none.
    std::string Section(int n) {
        const std::string ini = Ini(), header = "[List " + std::to_string(n) + "]\r\n";
        const auto at = ini.find(header);
        return at == std::string::npos ? "" : ini.substr(at, ini.find("\r\n\r\n", at) - at + 2);
    }
    std::string Sections() { return Section(1) + Section(2) + Section(3) + Section(4); }
    void Edit(int from, int to) {
        main->lblColor_MouseDown(from, 1, 0, 0, 0);
        main->lblColor_MouseDown(to, 2, 0, 0, 0);
    }
    std::uint64_t Writes() { return app->Settings().Ini().WriteCount(); }
    // Drags `paths` onto the window and drops them there when it accepts them.
    bool Drop(const std::vector<std::string>& paths) {
        QMimeData data;
        for (const std::string& p : paths)
            data.setUrls(data.urls() << QUrl::fromLocalFile(QString::fromStdString(p)));
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &enter);
        return enter.isAccepted() && QApplication::sendEvent(main.get(), &drop);
    }
    // "folder: selected names, current name" as the window shows it.
    std::string Shown() const {
        std::string s = fs::path(main->FolderTag()).filename().string() + ":";
        for (const std::string& name : main->SelectedFileNames())
            s += " " + name;
        return s + ", " + main->File->currentItem()->text().toStdString();
    }
    const char* kMaps =
        "[General]\r\nNumColorMaps=4\r\n\r\n[List 1]\r\n1=11\r\nName=A\r\n\r\n[List 2]\r\n2=22\r\n"
        "7=70\r\nName=Caf\xE9\r\n\r\n[List 3]\r\n3=33\r\n8=-2\r\n9=300\r\nName=C\r\n\r\n[List "
        "4]\r\n4=44\r\n";
};

TEST_F(Menus, SaveAsksForANameAndStoresOnlyTheChangedIndicesInOneWrite) {
    Start();
    EXPECT_EQ(ActionTexts(M().mnuColorMap->actions()),
              (QStringList{"&Save", "Save &As...", "&Load", "&Delete", "-", "&Reset", "-",
                           "Show &Pairs", "&Map Pairs...", "-", "&Undo", "R&edo"}));
    EXPECT_TRUE(Listed().isEmpty());
    prompt.answers = {"", "\r\n", "Sea\r\n[List 9]\r\nName=x\n"};
    M().mnuColorMapSave->trigger();  // cancelled
    M().mnuColorMapSave->trigger();  // nothing but line breaks
    EXPECT_FALSE(fs::exists(folder / "Tintwell.ini"));
    Edit(3, 7);
    M().mnuColorMapSave->trigger();
    EXPECT_EQ(prompt.shown.at(2).title + "|" + prompt.shown[2].prompt,
              "Save Color Map|What do you want to call this color map?");
    EXPECT_EQ(Ini(),
              "[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\n3=7\r\nName=Sea [List 9] Name=x\r\n");
    EXPECT_EQ(Writes(), 1u);
    EXPECT_EQ(Listed(), QStringList{"Sea [List 9] Name=x"});
    EXPECT_FALSE(app->Map().ColorMapChanged());
    EXPECT_EQ(MapNameFromPrompt("\r\nTwo\n\nLines\r"), "Two Lines");
}

TEST_F(Menus, ANameTakenWithoutRegardToCaseIsOverwrittenOnlyWhenTheAnswerIsYes) {
    Start(
        "[General]\r\nNumColorMaps=2\r\n\r\n[List 1]\r\nName=Caf\xE9\r\n\r\n[List "
        "2]\r\n5=6\r\nName=Blue\r\n");
    Edit(9, 1);
    prompt.answers = {"blue", "BLUE", "Green", "blue"};
    messages.answers = {MsgResult::Cancel, MsgResult::No, MsgResult::Yes};
    M().mnuColorMapSave->trigger();  // Cancel: nothing changes
    EXPECT_EQ(Section(2), "[List 2]\r\n5=6\r\nName=Blue\r\n");
    EXPECT_TRUE(app->Map().ColorMapChanged());
    M().mnuColorMapSave->trigger();  // No: another name is asked for
    const auto writes = Writes();
    M().mnuColorMapSave->trigger();  // Yes: stored over the match with the name as typed
    EXPECT_EQ(Writes() - writes, 1u);
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(Describe(messages.shown[0]),  // Yes No Cancel, a question, Yes the default
              "Overwrite Color Map|You currently have a color map called \"blue\". Overwrite?|220");
    EXPECT_EQ(Sections(),
              "[List 1]\r\nName=Caf\xE9\r\n[List 2]\r\n9=1\r\nName=blue\r\n[List "
              "3]\r\n9=1\r\nName=Green\r\n");
    EXPECT_EQ(Listed(), (QStringList{"Caf\xE9", "blue", "Green"}));
    Edit(4, 5);
    M().mnuColorMapSaveAsMap[0]->trigger();  // keeps the map's name, asks nothing
    EXPECT_EQ(Section(1), "[List 1]\r\n4=5\r\n9=1\r\nName=Caf\xE9\r\n");
    EXPECT_EQ(prompt.shown.size(), 4u);
}

// Regression: stored map names were read back from the menu's text, so a name
// not valid in the system's encoding ("Caf\xE9") came back as "Caf\xEF\xBF\xBD".
TEST_F(Menus, DeleteMovesTheLaterMapsDownAndLoadGivesTheWholeMap) {
    Diagonal("a.bmp");
    Start(kMaps);
    EXPECT_EQ(Listed(), (QStringList{"A", "Caf\xE9", "C", "ERROR: No name found"}));
    messages.answers = {MsgResult::No, MsgResult::Yes};
    M().mnuColorMapDeleteMap[1]->trigger();
    EXPECT_EQ(Ini(), kMaps);
    M().mnuColorMapDeleteMap[1]->trigger();
    EXPECT_EQ(Describe(messages.shown[1]),
              "Delete Color Map|Are you sure you want to delete \"Caf\xE9\"?|100");
    EXPECT_EQ(Listed(), (QStringList{"A", "C", "ERROR"}));  // renumbered (MapStore)
    Edit(5, 9);
    const int renders = main->LoadedView()->RenderCount();
    M().mnuColorMapLoadMap[1]->trigger();
    EXPECT_TRUE(app->Map() == MapOf({{3, 33}}));
    EXPECT_TRUE(app->Map().ColorMapChanged());  // left as it was
    EXPECT_GT(main->LoadedView()->RenderCount(), renders);
    M().mnuColorMapReset->trigger();
    EXPECT_TRUE(app->Map().IsIdentity());
    EXPECT_EQ(main->lblColorNum[0]->text(), "0 (00h)");
    messages.answers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Yes};
    for (int i = 0; i < 3; ++i)
        M().mnuColorMapDeleteMap[0]->trigger();
    M().mnuColorMapDeleteMap_Click(0);  // no such item: nothing asked, nothing stored
    M().mnuColorMapSaveAsMap_Click(0);
    EXPECT_EQ(messages.shown.size(), 5u);
    EXPECT_TRUE(IniHas("NumColorMaps=0"));
    EXPECT_EQ(Sections(), "");
    EXPECT_FALSE(M().mnuColorMapLoad->menuAction()->isEnabled());
}

TEST_F(Menus, ClosingWithAnUnsavedMapAsksAndCancelKeepsEverything) {
    Diagonal("a.bmp");
    // Regressions (rounds 2 and 3): Yes with the name prompt cancelled, or given
    // blanks only, closed the window and lost the map (or stored a blank name).
    const MsgResult answers[] = {MsgResult::Cancel, MsgResult::No, MsgResult::Yes, MsgResult::Yes,
                                 MsgResult::Yes};
    const char* names[] = {"", "", "", "   ", "Kept"};
    for (int round = 0; round < 5; ++round) {
        Start();
        Edit(2, 3);
        messages.shown.clear();
        messages.answers = {answers[round]};
        prompt.answers = {names[round]};
        const bool closes = round == 1 || round == 4;
        EXPECT_EQ(main->close(), closes) << round;
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(Describe(messages.shown[0]), "Save Color Map?|Save current color map?|200");
        EXPECT_EQ(main->isVisible(), !closes) << round;
        EXPECT_EQ(app->Map().ColorMapChanged(), round < 4) << round;
        EXPECT_EQ(Section(1), round == 4 ? "[List 1]\r\n2=3\r\nName=Kept\r\n" : "") << round;
        messages.answers = {MsgResult::No};
        Close();
    }
}

TEST_F(Menus, BrowseListsTheChosenFolderAndTheIndexListIsWrittenForTheFileAsLoaded) {
    TempDir other;
    WriteFile(other / "z.bmp", Bmp().Build());
    const int rows[2][3] = {{0, 12, 255}, {7, 7, 100}};
    WriteFile(other / "y.b.bmp",
              Bmp().Size(3, 2).Pixels([&](int x, int y) { return rows[y][x]; }).Build());
    Start("[General]\r\nPreview=0\r\n");
    // No file selected: the command is off.
    EXPECT_FALSE(main->Dialogs()->mnuOptionsSaveColorIndexList->isEnabled());
    main->mnuOptionsShowPreview->trigger();
    dialogs.answers = {{}, {{QString::fromStdString(other.path().string())}, {}, {}}};
    main->cmdBrowse->click();  // cancelled
    EXPECT_EQ(main->FolderTag(), folder.path().string());
    main->cmdBrowse->click();
    const QString here = QString::fromStdString(folder.path().string());
    EXPECT_EQ(
        dialogs.seen[1].section('|', 0, 10),
        "Select a folder|open|2|" + here + "||All Files (*)|Directories||&Choose|Directory:|13");
    EXPECT_EQ(main->FolderTag(), other.path().string());
    EXPECT_TRUE(IniHas("Folder=" + other.path().string()));
    ASSERT_EQ(main->File->count(), 2);
    EXPECT_EQ(main->File->currentItem()->text(), "y.b.bmp");
    main->File->setCurrentRow(1);  // z.bmp in the preview, which then closes
    main->mnuOptionsShowPreview->trigger();
    main->File->setCurrentRow(0);  // regression: the list was the file the preview showed last
    Edit(7, 9);                    // the list gives the file's own indices
    const QString list = QString::fromStdString((other / "list.txt").string());
    dialogs.answers = {{{list}, {}, {}},
                       {},
                       {{QString::fromStdString((other / "none" / "a.txt").string())}, {}, {}}};
    for (int i = 0; i < 3; ++i)
        main->Dialogs()->mnuOptionsSaveColorIndexList->trigger();
    EXPECT_EQ(dialogs.seen[2].section('|', 0, 7),
              "Save color index list|save|0|" + QString::fromStdString(other.path().string()) +
                  "|y.txt|Text files (*.txt);All files (*)|Text files (*.txt)|txt");
    EXPECT_EQ(ReadFile(other / "list.txt"), "  0, 12,255,\r\n  7,  7,100,\r\n");
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Error);
    EXPECT_NE(messages.shown[0].text.find("could not be saved"), std::string::npos);
    main->SetFileListFolder(folder.path().string());  // holds no image
    EXPECT_FALSE(main->Dialogs()->mnuOptionsSaveColorIndexList->isEnabled());
}

TEST_F(Menus, TheLayoutFollowsTheDesignAndTheWindowSize) {
    Start();
    main->centralWidget()->resize(main->DesignedClientSize());
    main->Form_Resize();
    const auto at = [&](QWidget* w) { return w->geometry(); };
    EXPECT_EQ(main->cmdBrowse->x(), 451);  // widened to hold the information column
    EXPECT_EQ(at(main->cmdRecolor), QRect(128, 308, 344, 21));
    EXPECT_EQ(at(main->cmdRefreshFiles), QRect(8, 308, 113, 21));
    const QRect grid = at(main->lblColor);
    main->resize(main->width() + 200, main->height() + 100);
    QCoreApplication::processEvents();
    const int w = main->centralWidget()->width(), h = main->centralWidget()->height();
    EXPECT_EQ(at(main->cmdBrowse).right() + 1, w - 8);
    EXPECT_EQ(at(main->lblFolder).right() + 1, main->cmdBrowse->x());
    EXPECT_EQ(at(main->cmdRecolor), QRect(128, h - 29, w - 136, 21));
    EXPECT_EQ(at(main->File).bottom() + 1, h - 21 - 16);
    EXPECT_EQ(at(main->lblColor), grid);
    main->resize(10, 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(main->frameGeometry().height(), 393);
    EXPECT_LE(main->lblColor->CellRect(255).bottom(), main->cmdRecolor->y());
    QStringList tab;  // the order Tab visits the controls in
    for (QWidget* n = main->File; tab.size() < 5; n = n->nextInFocusChain())
        if ((n->focusPolicy() & Qt::TabFocus) && n->isVisibleTo(main.get())) tab << n->objectName();
    EXPECT_EQ(tab, (QStringList{"File", "lblColor", "cmdBrowse", "cmdRecolor", "cmdRefreshFiles"}));
    EXPECT_EQ(
        ActionTexts(main->menuBar()->actions()) + ActionTexts(main->mnuHelp->actions()),
        (QStringList{"&File", "&Color Map", "&Options", "&Help", "&Contents", "-", "&About"}));
    EXPECT_EQ(main->mnuHelpContents->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(ActionTexts(main->mnuOptions->actions()),
              (QStringList{"Show &Preview", "&Backup BMPs", "Recolor &outside of selection",
                           "&Dim Unused Colors", "-", "Save Color &Index List"}));
    EXPECT_EQ(main->lbl[1]->text() + main->lbl[2]->text(), "Mouse OverMapping To");
}

TEST_F(Menus, OpensAFolderOrBmpFilesOfOneFolderFromTheCommandLineOrADrop) {
    for (const char* sub : {"art", "other"})
        fs::create_directories(folder / sub);
    for (const char* name :
         {"z.bmp", "art/a.bmp", "art/b.bmp", "art/c.BMP", "art/notes.txt", "other/d.bmp"})
        Diagonal(name);
    const char* const kNotOneFolder =
        "Cannot Open|The files given are not BMP files of one folder.";
    struct Case {
        std::vector<std::string> paths;
        const char* shown;  // "" when refused: the window stays as it was
        const char* says;   // "title|text" of the refusal, "%1" for the first path
    } const cases[] = {
        {{"art"}, "art: a.bmp, a.bmp", ""},
        {{"art/b.bmp"}, "art: b.bmp, b.bmp", ""},
        {{"art/c.BMP", "art/b.bmp"}, "art: b.bmp c.BMP, c.BMP", ""},
        {{"art/b.bmp", "other/d.bmp"}, "", kNotOneFolder},
        {{"art", "other"}, "", kNotOneFolder},
        {{"art/notes.txt"}, "", "Cannot Open|\"%1\" is neither a folder nor a BMP file."},
        {{"art/gone.bmp"}, "", "Not Found|\"%1\" not found."},
    };
    for (const Case& c : cases) {
        for (const bool dropped : {false, true}) {
            SCOPED_TRACE(c.paths[0] + (dropped ? " dropped" : " on the command line"));
            Start();
            const std::string before = Shown();
            std::vector<std::string> paths;
            for (const std::string& p : c.paths)
                paths.push_back((folder.path() / p).string());
            EXPECT_EQ(dropped ? Drop(paths) : main->Opener()->OpenFromCommandLine(paths),
                      *c.shown != '\0');
            EXPECT_EQ(Shown(), *c.shown ? c.shown : before);
            EXPECT_EQ(IniHas("Folder=" + main->FolderTag()), *c.shown != '\0');
            std::string said;
            for (const MessageRequest& m : messages.shown)
                said += m.title + "|" + m.text + ";";
            const QString says =
                *c.says && !dropped ? QString(c.says).arg(paths[0].c_str()) + ";" : "";
            EXPECT_EQ(said, says.toStdString());
            Close();
            messages.shown.clear();
            fs::remove(folder.path() / "Tintwell.ini");
        }
    }
}

// Ctrl+O runs the folder dialog; every folder opened becomes the newest of the
// last eight, and one that no longer exists leaves the menu when it opens.
TEST_F(Menus, RecentFoldersKeepTheLastEightOpenedThatStillExist) {
    std::vector<std::string> opened;
    for (int n = 0; n < 10; ++n)
        fs::create_directories(opened.emplace_back((folder / ("f" + std::to_string(n))).string()));
    Start();
    RecentFoldersMenu& recent = *main->Recent();
    EXPECT_EQ(ActionTexts(main->mnuFile->actions()).mid(0, 3),
              (QStringList{"&Open Folder...", "Recent &Folders", "-"}));
    EXPECT_EQ(recent.mnuFileOpenFolder->shortcut(), QKeySequence("Ctrl+O"));
    dialogs.answers = {{{QString::fromStdString(opened[0])}, {}, {}}};
    recent.mnuFileOpenFolder->trigger();
    for (int n = 1; n < 10; ++n)
        main->Opener()->OpenFromCommandLine({opened[static_cast<size_t>(n) % 9]});  // f0 again last
    fs::remove(opened[8]);
    recent.Refresh();
    QStringList expected;
    for (const size_t k : {0, 7, 6, 5, 4, 3, 2})  // f1 fell off, f8 is gone
        expected << QString("&%1 %2").arg(expected.size() + 1).arg(opened[k].c_str());
    EXPECT_EQ(ActionTexts(recent.mnuFileRecent->actions()), expected);
    EXPECT_TRUE(IniHas("[Recent Folders]\r\n1=" + opened[0] + "\r\n2=" + opened[7]));
    EXPECT_FALSE(IniHas("8=") || IniHas(opened[8]));
    fs::remove(opened[6]);
    recent.mnuFileRecent->actions().at(2)->trigger();  // f6, gone since the menu opened
    recent.mnuFileRecent->actions().at(1)->trigger();
    EXPECT_EQ(messages.Titles(), "Not Found;");
    EXPECT_EQ(main->FolderTag(), opened[7]);
    EXPECT_EQ(recent.mnuFileRecent->actions().size(), 6);
    for (const std::string& f : opened)
        fs::remove(f);
    recent.Refresh();
    EXPECT_FALSE(recent.mnuFileRecent->isEnabled() || IniHas("[Recent Folders]"));
}

// Each change is one step; an undone or redone map counts as changed only when
// it differs from the map last saved or loaded.
TEST_F(Menus, UndoAndRedoWalkTheEditsAndThePreviewFollows) {
    Diagonal("a.bmp");  // row 0 holds the indices 0..15
    WriteIni("[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\n3=9\r\n5=1\r\nName=N\r\n");
    Start();
    QApplication::setActiveWindow(main.get());
    UndoCommands& undo = *main->UndoItems();
    frmView& view = *main->LoadedView();
    auto grid = [&](int i) { return main->lblColor->CellRect(i).center() - main->lblColor->pos(); };
    // After each step: the entries 3 and 5 as the preview shows them, then "1" or "0"
    // for the map counting as changed, Undo enabled and Redo enabled.
    const std::pair<const char*, const char*> steps[] = {
        {"grid 3 7", "7 5 110"},    {"grid 3 7", "7 5 110"},  // the same mapping again: no step
        {"preview 5 2", "7 2 110"}, {"ctrl+z", "7 5 111"},
        {"undo", "3 5 001"},        {"ctrl+y in the preview", "7 5 111"},
        {"redo", "7 2 110"},        {"save", "7 2 010"},
        {"undo", "7 5 111"},        {"redo", "7 2 010"},
        {"load", "9 1 010"},        {"reset", "3 5 010"},
        {"undo", "9 1 011"},        {"ctrl+shift+z", "3 5 110"},
        {"undo", "9 1 011"}};
    for (const auto& [step, state] : steps) {
        const std::string op = step;
        if (op == "grid 3 7") Click(main->lblColor, grid(3));
        if (op == "grid 3 7") Click(main->lblColor, grid(7), Qt::RightButton);
        if (op == "preview 5 2") Click(main->lblColor, grid(5));
        if (op == "preview 5 2") Click(view.img(0), QPoint(2, 0), Qt::RightButton);
        if (op == "save") prompt.answers = {"S"};
        if (op == "save") main->ColorMaps()->mnuColorMapSave->trigger();
        if (op == "load") main->ColorMaps()->mnuColorMapLoadMap[0]->trigger();
        if (op == "reset") main->ColorMaps()->mnuColorMapReset->trigger();
        if (op == "undo") undo.mnuColorMapUndo->trigger();
        if (op == "redo") undo.mnuColorMapRedo->trigger();
        if (op == "ctrl+z") QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier);
        if (op == "ctrl+y in the preview") QApplication::setActiveWindow(&view);
        if (op == "ctrl+y in the preview") QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
        if (op == "ctrl+shift+z")
            QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        const PictureBox* p = view.img(1);
        EXPECT_EQ(std::to_string(qRed(p->ColorAt(3, 0))) + " " +
                      std::to_string(qRed(p->ColorAt(5, 0))) + " " +
                      std::to_string(app->Map().ColorMapChanged()) +
                      std::to_string(undo.mnuColorMapUndo->isEnabled()) +
                      std::to_string(undo.mnuColorMapRedo->isEnabled()),
                  state)
            << op;
    }
    Close();  // the map is the one loaded: no question
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Menus, RestoresTheSelectedFilesAfterAConfirmationNamingTheirCount) {
    for (const char* name : {"a.bmp", "b.bmp"})
        WriteFile(folder / name, Bmp().Size(4, 4).Pixels([](int, int) { return 9; }).Build());
    fs::create_directory(folder / "Tintwell Backup");
    Diagonal("Tintwell Backup/a-001.bmp", 4, 4);
    Start();
    main->File->selectAll();
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        messages.answers = {answer};
        main->RestoreItem()->mnuFileRestore->trigger();
    }
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(messages.shown[0].text.rfind("Restore 2 selected BMPs from their newest", 0), 0u);
    EXPECT_EQ(messages.shown[0].defaultButton, 1);    // No: Enter alone replaces nothing
    EXPECT_EQ(messages.shown[2].title, "No Backup");  // b.bmp; the batch goes on
    EXPECT_EQ(messages.shown[3].text, "Restored 1 of 2 BMPs from backup.");
    EXPECT_EQ(main->statusBar()->currentMessage(), "1 of 2 restored, 1 refused");
}

// The keyboard alone: Tab reaches the palette grid, the arrows move its focus
// frame, Space picks and Enter maps; Map Pairs adds pairs as one step (and
// refuses a bad entry, naming it), Show Pairs gives the map in the same
// syntax; Ctrl+S saves from the preview, F5 recolours and Ctrl+Q quits.
TEST_F(Menus, TheKeyboardAloneBuildsSavesAndAppliesAMap) {
    Diagonal("a.bmp");
    Start();
    QApplication::setActiveWindow(main.get());
    main->File->setFocus();
    QTest::keyClick(main->File, Qt::Key_Tab);
    PaletteGrid* grid = main->lblColor;
    ASSERT_EQ(QApplication::focusWidget(), grid);
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space,
                        Qt::Key_Right, Qt::Key_Return, Qt::Key_Down, Qt::Key_Left, Qt::Key_Space,
                        Qt::Key_Up, Qt::Key_Up, Qt::Key_Left, Qt::Key_Return})
        QTest::keyClick(grid, key);
    EXPECT_EQ(PairsText(app->Map().Entries()), "19:20,35:2");
    EXPECT_EQ(grid->ToolTipText(19).toStdString() + (grid->HasMark(20) ? " 20" : ""),
              "19 \u2192 20");
    prompt.answers = {"3:7,300:1", "16-17:31-30", "", "Keys"};
    M().mnuColorMapMapPairs->trigger();
    EXPECT_EQ(messages.shown.at(0).text,
              "The pairs were not mapped: \"300\" is not a palette index 0 to 255 or a range of "
              "them such as 16-31.");
    M().mnuColorMapMapPairs->trigger();
    M().mnuColorMapShowPairs->trigger();
    EXPECT_EQ(prompt.shown.at(2).defaultText, "16-17:31-30,19:20,35:2");
    main->UndoItems()->mnuColorMapUndo->trigger();  // both pairs were one step
    EXPECT_EQ(PairsText(app->Map().Entries()), "19:20,35:2");
    frmView* view = main->LoadedView();
    QApplication::setActiveWindow(view);
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(IniHas("Name=Keys"));
    QApplication::setActiveWindow(main.get());
    main->mnuOptionsDimUnused->trigger();  // the image holds 0 to 30, index 5 six times
    EXPECT_EQ(grid->ToolTipText(5).toStdString() + (grid->IsDimmed(31) ? " dims 31" : ""),
              "5\n6 pixels dims 31");
    main->File->item(0)->setSelected(true);
    QTest::keyClick(grid, Qt::Key_F5);
    EXPECT_EQ(PixelOnDisk(folder / "a.bmp", 15, 4), 20);
    QTest::keyClick(grid, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(main->isVisible());
}

// Regression: opening a file first loaded the folder's first file, whose
// message (a 24-bit file here) came first, and named no file.
TEST_F(Menus, OpeningAFileLoadsThatFileOnlyAndItsMessageNamesIt) {
    WriteFile(folder / "a.bmp", Bmp().Bits(24).Build());
    Diagonal("good.bmp");
    Start("[General]\r\nPreview=-1\r\n", {(folder / "good.bmp").string()});
    EXPECT_EQ(messages.Titles() + main->LoadedView()->windowTitle().toStdString(), "16 x 16");
    Close();
    Start({}, {(folder / "a.bmp").string()});
    EXPECT_EQ(messages.Titles(), "a.bmp - BMP is not 8-bit;");
}

}  // namespace
}  // namespace tintwell::test
