// Opening a path from the command line or a drop, undo and redo of the colour
// map, and restoring files from backup, through the real main window.
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "support/MainWindowFixture.h"

namespace tintwell::test {
namespace {

namespace fs = std::filesystem;

class OpenUndoRestore : public MainWindowFixture {
  protected:
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
};

TEST_F(OpenUndoRestore, OpensAFolderOrBmpFilesOfOneFolderFromTheCommandLineOrADrop) {
    for (const char* folder : {"art", "other"})
        fs::create_directories(programFolder.Path() / folder);
    for (const char* name :
         {"z.bmp", "art/a.bmp", "art/b.bmp", "art/c.BMP", "art/notes.txt", "other/d.bmp"})
        WriteDiagonalBmp(programFolder / name);
    struct Case {
        std::vector<std::string> paths;
        const char* shown;  // "" when refused: the window stays as it was
        const char* refusal;
    } const cases[] = {
        {{"art"}, "art: a.bmp, a.bmp", ""},
        {{"art/b.bmp"}, "art: b.bmp, b.bmp", ""},
        {{"art/c.BMP", "art/b.bmp"}, "art: b.bmp c.BMP, c.BMP", ""},
        {{"art/b.bmp", "other/d.bmp"}, "", ""},
        {{"art", "other"}, "", ""},
        {{"art/notes.txt"}, "", "Cannot Open"},
        {{"art/gone.bmp"}, "", "Not Found"},
    };
    for (const Case& c : cases) {
        for (const bool dropped : {false, true}) {
            if (!dropped && c.paths.size() > 1) continue;
            SCOPED_TRACE(c.paths[0] + (dropped ? " dropped" : " on the command line"));
            Start();
            const std::string before = Shown();
            std::vector<std::string> paths;
            for (const std::string& p : c.paths)
                paths.push_back((programFolder.Path() / p).string());
            EXPECT_EQ(dropped ? Drop(paths) : main->Opener()->OpenFromCommandLine(paths[0]),
                      *c.shown != '\0');
            EXPECT_EQ(Shown(), *c.shown ? c.shown : before);
            EXPECT_EQ(IniHas("Folder=" + main->FolderTag()), *c.shown != '\0');
            EXPECT_EQ(Texts().size(), !dropped && *c.refusal ? 1u : 0u);
            EXPECT_EQ(messages.shown.empty() ? "" : messages.shown[0].title,
                      dropped ? "" : c.refusal);
            Close();
            messages.shown.clear();
            fs::remove(programFolder.Path() / "Tintwell.ini");
        }
    }
}

// Each change is one step; an undone or redone map counts as changed only when
// it differs from the map last saved or loaded.
TEST_F(OpenUndoRestore, UndoAndRedoWalkTheEditsAndThePreviewFollows) {
    WriteDiagonalBmp(programFolder / "a.bmp");  // row 0 holds the indices 0..15
    WriteIni("[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\n3=9\r\n5=1\r\nName=N\r\n");
    Start();
    QApplication::setActiveWindow(main.get());
    UndoCommands& undo = *main->UndoItems();
    frmView& view = *main->LoadedView();
    auto grid = [&](int i) { return main->lblColor->CellRect(i).center() - main->lblColor->pos(); };
    struct Step {
        const char* op;
        int map3, map5;  // the entries, as the preview shows them
        bool changed, canUndo, canRedo;
    } const steps[] = {
        // clang-format off
        {"grid 3 7", 7, 5, true, true, false},  {"grid 3 7", 7, 5, true, true, false},  // no step
        {"preview 5 2", 7, 2, true, true, false}, {"ctrl+z", 7, 5, true, true, true},
        {"undo", 3, 5, false, false, true},       {"ctrl+y in the preview", 7, 5, true, true, true},
        {"redo", 7, 2, true, true, false},        {"save", 7, 2, false, true, false},
        {"undo", 7, 5, true, true, true},         {"redo", 7, 2, false, true, false},
        {"load", 9, 1, false, true, false},       {"reset", 3, 5, false, true, false},
        {"undo", 9, 1, false, true, true},        {"ctrl+shift+z", 3, 5, true, true, false},
        {"undo", 9, 1, false, true, true},
        // clang-format on
    };
    for (const Step& s : steps) {
        const std::string op = s.op;
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
        SCOPED_TRACE(op);
        EXPECT_EQ(view.img(1)->Picture().pixelIndex(3, 0), s.map3);
        EXPECT_EQ(view.img(1)->Picture().pixelIndex(5, 0), s.map5);
        EXPECT_EQ(app->Map().ColorMapChanged(), s.changed);
        EXPECT_EQ(undo.mnuColorMapUndo->isEnabled(), s.canUndo);
        EXPECT_EQ(undo.mnuColorMapRedo->isEnabled(), s.canRedo);
    }
    Close();  // the map is the one loaded: no question
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(OpenUndoRestore, RestoresTheSelectedFilesAfterAConfirmationNamingTheirCount) {
    for (const char* name : {"a.bmp", "b.bmp"})
        WriteBmp(programFolder / name, 4, 4, 8, [](int, int) { return 9; });
    fs::create_directory(programFolder.Path() / "Tintwell Backup");
    WriteDiagonalBmp(programFolder / "Tintwell Backup/a-001.bmp", 4, 4);
    Start();
    main->File->selectAll();
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        messages.answers = {answer};
        main->RestoreItem()->mnuFileRestore->trigger();
    }
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(messages.shown[0].text.rfind("Restore 2 selected BMPs from their newest", 0), 0u);
    EXPECT_EQ(messages.shown[2].title, "No Backup");  // b.bmp; the batch goes on
    EXPECT_EQ(messages.shown[3].text, "Restored 1 of 2 BMPs from backup.");
    EXPECT_EQ(progress.names, (std::vector<std::string>{"a.bmp", "b.bmp"}));
    EXPECT_EQ(main->LoadedView()->img(0)->Picture().pixelIndex(1, 0), 1);  // a.bmp as restored
}

}  // namespace
}  // namespace tintwell::test
