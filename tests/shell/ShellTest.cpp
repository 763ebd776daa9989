// The shell services: the item file dialog with its flags, folders, filters,
// events and custom controls, the folder and save dialogs built on it, opening
// links, the help viewer and the pointer capture of link controls.
#include <QCheckBox>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include "shell/DesktopUrlOpener.h"
#include "shell/IFileDialog.h"
#include "shell/IFileDialogEvents.h"
#include "shell/clsHelpViewer.h"
#include "shell/modBrowseForFolder.h"
#include "shell/modCommonDialog.h"
#include "shell/modHelp.h"
#include "shell/modOpenFolder.h"
#include "support/GuiKit.h"

namespace tintwell::test {
namespace {

class Shell : public ::testing::Test {
  protected:
    Shell() {
        TestApp();
        fs::create_directory(dir / "a");
        fs::create_directory(dir / "b");
        for (const char* name : {"one.txt", "two.txt", "three.bmp"})
            WriteFile(dir / name, "");
    }
    QString Path(const std::string& name = {}) const {
        return QString::fromStdString((name.empty() ? dir.path() : dir / name).string());
    }
    // The flags a show in `mode` works with.
    uint32_t FlagsUsed(uint32_t flags, int mode) {
        IFileDialog dialog(&exec);
        dialog.propFlags(flags);
        uint32_t used = 0;
        exec.answers = {{{}, [&](QFileDialog&) { used = dialog.propFlags(); }, {}}};
        dialog.DialogShow(nullptr, mode);
        return used;
    }
    TempDir dir;
    ScriptedFileDialogExec exec;
};

TEST_F(Shell, EachModeShowsItsKindOfDialogWithItsFlagRules) {
    const std::tuple<uint32_t, int, uint32_t> flags[] = {
        {0, 2, 0x1820}, {0x800, 2, 0x820}, {0x18A0, 2, 0x18A0}, {0x18C0, 2, 0x1860},
        {0, 0, 0x1800}, {0x20, 0, 0x1800}, {0, 1, 0x8802},      {0x222, 1, 0x2}};
    for (const auto& [given, mode, used] : flags)
        EXPECT_EQ(FlagsUsed(given, mode), used) << given << " in mode " << mode;
    IFileDialog dialog(&exec);
    dialog.propFlags(fos::AllowMultiSelect);
    dialog.DialogShow(nullptr, 0);
    dialog.DialogShow(nullptr, 0);
    EXPECT_EQ(exec.seen[8].section('|', 1, 2), "open|3");  // several existing files
    EXPECT_EQ(exec.seen[9].section('|', 1, 2), "open|1");
    dialog.propFlags(0x20);
    EXPECT_EQ(dialog.DialogShow(nullptr, 3), -1);  // no such mode: refused and cleared
    EXPECT_EQ(dialog.propFlags(), 0u);
    int32_t nested = 0;
    exec.answers = {{{}, [&](QFileDialog&) { nested = dialog.DialogShow(nullptr, 0); }, {}}};
    EXPECT_EQ(dialog.DialogShow(nullptr, 0), kDialogCancelled);
    EXPECT_EQ(nested, -1);
}

TEST_F(Shell, SettingsApplyToOneShowAndTheChosenItemsStay) {
    IFileDialog dialog(&exec);
    dialog.propFilters("Text files (*.txt)|*.txt|All files (*.*)|*.*|odd");
    dialog.propFilterIndex(1);
    dialog.propInitialFileName("name.txt");
    dialog.propOKButtonCaption("Keep");
    dialog.propFileLabelCaption("Call it:");
    dialog.propDefaultExtensions(".txt");
    dialog.propStartupFolder_Set(Path("a"));
    dialog.propAddPlace_SetFolder(Path("b"), 0, true);
    dialog.DialogShow(nullptr, 1, "Store");
    dialog.propFilters("Text|*.txt");  // a folder dialog lists no file types
    dialog.propStartupFolder_Set(QString("{5E6C858F-0E22-4760-9AFE-EA3317B67173}"));  // profile
    exec.answers = {{}, {{Path("b")}, {}, {}}};
    EXPECT_EQ(dialog.DialogShow(nullptr, 2), kDialogCancelled);
    EXPECT_EQ(exec.seen[0], "Store|save|0|" + Path("a") +
                                "|name.txt|Text files (*.txt);All files "
                                "(*)|All files (*)|txt|Keep|Call it:|8|" +
                                Path("b"));
    EXPECT_EQ(exec.seen[1].section('|', 3, 6), QDir::homePath() + "||All Files (*)|Directories");
    EXPECT_EQ(dialog.DialogShow(nullptr, 2, "Pick"), 0);
    EXPECT_EQ(dialog.IShellItem_GetDisplayName(dialog.ResultsItem(1), sigdn::NormalDisplay),
              Path("b"));
    EXPECT_FALSE(dialog.ResultsItem(0) || dialog.ResultsItem(2));
    dialog.propFlags(fos::AllowMultiSelect | fos::FileMustExist);
    dialog.propStartupFolder_Set(Path());
    exec.answers = {{{"one.txt", "two.txt"}, {}, {}}};
    ASSERT_EQ(dialog.DialogShow(nullptr, 0), 0);
    EXPECT_EQ(dialog.ResultsItem(2)->path, Path("two.txt"));
    dialog.Clear();  // regression: the results outlived Clear
    EXPECT_EQ(dialog.ResultsCount(), 0);
}

// Records the events of a show and can veto the first OK and folder changes.
struct Receiver : IFileDialogEvents {
    void DialogOnInit(IFileDialog& d) override {
        events << (d.DialogHWND() ? "init" : "init without window");
    }
    void DialogOnFileOk(IFileDialog&, bool& cancel) override {
        events << "ok";
        cancel = vetoes-- > 0;
    }
    void DialogOnTypeChange(IFileDialog&) override { events << "type"; }
    void DialogOnFolderChanging(IFileDialog&, const ShellItem& f, bool& cancel) override {
        events << "changing " + QDir(f.path).dirName();
        cancel = refuseFolders;
    }
    void DialogOnFolderChanged(IFileDialog&) override { events << "changed"; }
    void CustomControlClicked(IFileDialog&, const QString& key, int32_t& result) override {
        events << key + "=" + QString::number(result);
    }
    QStringList events;
    int vetoes = 1;
    bool refuseFolders = true;
};

// Selects the entry `name` in the dialog's list once it is read, and presses Enter on it.
void Open(QFileDialog& d, const QString& name) {
    auto* view = d.findChild<QListView*>(QStringLiteral("listView"));
    QModelIndex entry;
    (void)QTest::qWaitFor(
        [&] {
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                if (view->model()->index(row, 0, view->rootIndex()).data() == name)
                    entry = view->model()->index(row, 0, view->rootIndex());
            return entry.isValid();
        },
        5000);
    view->setCurrentIndex(entry);
    Key(view, Qt::Key_Return);
}

TEST_F(Shell, EventsReachTheReceiverWhichMayVetoFolderChangesAndOk) {
    IFileDialog dialog(&exec);
    Receiver r;
    EXPECT_FALSE(dialog.AttachEvents(nullptr) || dialog.AttachEvents(&r, "k", false, false, false));
    ASSERT_TRUE(dialog.AttachEvents(&r, "k"));
    EXPECT_FALSE(dialog.AttachEvents(&r, "k"));  // one receiver at a time
    dialog.propStartupFolder_Set(Path());
    QString refusedAt, vetoed;
    exec.answers = {{{},
                     [&](QFileDialog& d) {
                         d.show();
                         d.hide();
                         d.show();  // shown again: no second init
                         Open(d, "a");
                         refusedAt = d.directory().absolutePath();
                         r.refuseFolders = false;
                         Open(d, "b");
                     },
                     {}}};
    dialog.DialogShow(nullptr, 0);
    EXPECT_EQ(refusedAt, Path());
    EXPECT_EQ(r.events, (QStringList{"init", "type", "changing a", "changing b", "changed"}));
    r.events.clear();
    ASSERT_TRUE(dialog.AttachEvents(&r));
    exec.answers = {{{Path("b")},
                     [&](QFileDialog& d) {
                         d.show();
                         d.setDirectory(Path("a"));
                         static_cast<QDialog&>(d).accept();
                         vetoed =
                             d.isVisible() && d.result() != QDialog::Accepted ? "open" : "closed";
                     },
                     {}}};
    EXPECT_EQ(dialog.DialogShow(nullptr, 2), 0);
    EXPECT_EQ(vetoed, "open");
    EXPECT_EQ(r.events.count("ok"), 2);
    EXPECT_EQ(dialog.DialogHWND(), nullptr);  // idle again
    EXPECT_EQ(dialog.ResultsItem(1)->path, Path("b"));
}

TEST_F(Shell, CustomControlsLiveInTheDialogWhileItShows) {
    IFileDialog dialog(&exec);
    Receiver r;
    EXPECT_FALSE(dialog.Customize_CreateNonGroupItem(9, "bad", "x") ||
                 dialog.Customize_CreateGroup("bad", 5, "x", {}));
    ASSERT_TRUE(dialog.Customize_CreateContainer("box", "Box"));
    ASSERT_TRUE(dialog.Customize_CreateNonGroupItem(10, "check", "Open read-only"));
    ASSERT_TRUE(dialog.Customize_CloseContainer("box"));
    EXPECT_FALSE(dialog.Customize_CloseContainer("box") ||
                 dialog.Customize_CloseContainer("check"));
    ASSERT_TRUE(dialog.Customize_CreateNonGroupItem(11, "edit", "first"));
    ASSERT_TRUE(dialog.Customize_CreateGroup("combo", 1, "Kind", {"A"}));
    EXPECT_TRUE(dialog.Customize_AppendGroupItem("combo", "B"));
    EXPECT_FALSE(dialog.Customize_AppendGroupItem("check", "B") ||
                 dialog.Customize_CreateNonGroupItem(12, "check", "again"));
    ASSERT_TRUE(dialog.AttachEvents(&r, "key", true, true, false));
    EXPECT_EQ(dialog.CustomControl_SetTextBoxText("edit", "idle"), QString());
    QString seen;
    exec.answers = {
        {{},
         [&](QFileDialog& d) {
             d.show();
             d.findChild<QCheckBox*>()->click();
             dialog.CustomControl_SetTextBoxText("edit", "second");
             dialog.CustomControl_SetSelected("combo", 1);
             bool enabled = false, visible = false;
             seen = d.findChild<QCheckBox*>()->text() + "|" +
                    dialog.CustomControl_GetTextBoxText("edit") + "|" +
                    QString::number(dialog.CustomControl_GetSelected("combo")) + "|" +
                    QString::number(dialog.CustomControl_GetState("check", enabled, visible, 0)) +
                    QString::number(dialog.Customize_CreateNonGroupItem(12, "late", "x"));
             dialog.DialogClose(true);
         },
         {}}};
    EXPECT_EQ(dialog.DialogShow(nullptr, 0), -1);  // ended by DialogClose with its code
    EXPECT_EQ(seen, "Open read-only|second|1|00");
    EXPECT_TRUE(r.events.contains("check=1"));
    EXPECT_EQ(dialog.CustomControl_GetTextBoxText("edit"), QString());
    EXPECT_TRUE(dialog.Customize_CreateNonGroupItem(10, "check", "cleared with the show"));
    EXPECT_EQ(dialog.DialogGetFilterIndex(), -1);
    EXPECT_FALSE(dialog.DialogGetCurrentFolder().has_value());
}

TEST_F(Shell, FolderAndSaveDialogsGiveBackThePathChosen) {
    QWidget owner;
    exec.answers = {{{Path("b")}, {}, {}}, {}};
    EXPECT_EQ(BrowseForFolder(Path("a"), &owner, "Select a folder", &exec), Path("b"));
    EXPECT_EQ(BrowseForFolder(Path("gone"), &owner, "Select a folder", &exec), QString());
    EXPECT_EQ(exec.seen[0].section('|', 0, 3), "Select a folder|open|2|" + Path("a"));
    EXPECT_EQ(exec.seen[0].section('|', 10, 10), "13");  // folders only
    EXPECT_NE(exec.seen[1].section('|', 3, 3), Path("gone"));
    QString deep = Path();
    while (deep.size() < 300)
        deep += "/folder_with_a_long_name";
    ASSERT_TRUE(QDir().mkpath(deep));
    int32_t index = 2;
    const QString filter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    exec.answers = {{},
                    {{"list"}, {}, {}},
                    {{"other.csv"}, {}, "All files (*)"},
                    {{deep + "/castle.txt"}, {}, {}}};
    const QStringList expected = {"", Path("list.txt"), Path("other.csv"), deep + "/castle.txt"};
    const int32_t indices[] = {2, 2, 2, 2};
    for (int i = 0; i < 4; ++i) {
        if (i == 2) index = 1;
        EXPECT_EQ(ShowSaveDialog(&owner, filter, "Save color index list", Path(), "txt",
                                 i ? "" : "castle.txt", index, &exec),
                  expected[i]);
        EXPECT_EQ(index, indices[i]);  // in from 1, back from 1, also on cancel
    }
    EXPECT_EQ(exec.seen[2].section('|', 0, 10),
              "Save color index list|save|0|" + Path() +
                  "|castle.txt|Text files (*.txt);All "
                  "files (*)|All files (*)|txt|&Save|File &name:|8");
    QTimer::singleShot(0,
                       [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
    EXPECT_EQ(BrowseForFolder(Path("a"), &owner, "Select a folder"), QString());
}

TEST(OpenURL, OpensTheLinkOrSaysWhyNotByTheCode) {
    struct Opener : IUrlOpener {
        std::int32_t Open(const QString& t) override { return opened << t, code; }
        QStringList opened;
        std::int32_t code = 42;
    } opener;
    RecordingMessageBox messages;
    OpenURL("https://www.example.org", opener, messages);
    EXPECT_EQ(opener.opened, QStringList{"https://www.example.org"});
    EXPECT_TRUE(messages.shown.empty());
    const std::pair<std::int32_t, const char*> codes[] = {
        {31, "There is no application associated with the given filename extension."},
        {0, "The operating system is out of memory or resources."},
        {-1, "Unknown Error"}};
    for (const auto& [code, text] : codes) {
        opener.code = code;
        OpenURL("mailto:someone@example.org", opener, messages);
        EXPECT_EQ(messages.shown.back().text,
                  "Error opening URL in browser.\r\nShellExecute returned code " +
                      std::to_string(code) + ": " + text);
    }
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].title, "ShellExecute Error");
    EXPECT_EQ(DesktopUrlOpener().Open("   "), kShellFileNotFound);
}

TEST(Help, ShowsTheTopicOfTheFileBesideTheProgramAndEveryLinkLeadsToATopic) {
    TestApp();
    EXPECT_EQ(HelpFileIn("/opt/tintwell"), "/opt/tintwell/Tintwell.html");
    EXPECT_EQ(ResolveHelpFile("", "/opt/a.html"), "/opt/a.html");
    EXPECT_EQ(ResolveHelpFile("/x/b.html", "/opt/a.html"), "/x/b.html");
    QWidget owner;
    clsHelpViewer* viewer = clsHelpViewer::For(&owner);
    EXPECT_EQ(clsHelpViewer::For(&owner), viewer);
    RecordingMessageBox messages;
    ShowHelpTopic(1000, "", "", *viewer, messages);  // no file at all: nothing happens
    ShowHelpTopic(1000, "", "/nowhere/Tintwell.html", *viewer, messages);
    EXPECT_EQ(messages.shown.at(0).text,
              "The help file \"/nowhere/Tintwell.html\" could not be opened.");
    EXPECT_FALSE(
        viewer->ShowTopic(QString::fromStdString(fs::temp_directory_path().string()), 1000));
    EXPECT_FALSE(viewer->isVisible());
    ASSERT_TRUE(viewer->ShowTopic(TINTWELL_HELP_SOURCE, 1030));
    EXPECT_EQ(viewer->windowTitle(), "Tintwell Help");
    const int scrolled = viewer->Browser()->verticalScrollBar()->value();
    EXPECT_GT(scrolled, 100);
    viewer->findChild<QToolButton*>("HelpContents")->click();
    EXPECT_EQ(viewer->CurrentTopic(), "1000");
    EXPECT_LT(viewer->Browser()->verticalScrollBar()->value(), scrolled / 4);
    EXPECT_FALSE(viewer->Browser()->document()->find("Recolor Selected BMPs").isNull());
}

}  // namespace
}  // namespace tintwell::test
