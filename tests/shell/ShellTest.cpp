// The shell services: the item file dialog with its flags, folders, filters,
// events and custom controls, the folder and save dialogs built on it, opening
// links, the help viewer and the pointer capture of link controls.
#include <sys/stat.h>

#include <set>

#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include "shell/DesktopUrlOpener.h"
#include "shell/FileDialogStates.h"
#include "shell/IFileDialog.h"
#include "shell/IFileDialogEvents.h"
#include "shell/clsHelpViewer.h"
#include "shell/clsMouseOver.h"
#include "shell/clsResizeLimits.h"
#include "shell/modBrowseForFolder.h"
#include "shell/modCommonDialog.h"
#include "shell/modHelp.h"
#include "shell/modOpenFolder.h"
#include "support/GuiKit.h"
#include "ui/toolkit/ScreenUnits.h"

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
    // Split into fields, so that a failure shows which of them differ.
    EXPECT_EQ(exec.seen[0].split('|'), ("Store|save|0|" + Path("a") +
                                        "|name.txt|Text files (*.txt);All files "
                                        "(*)|All files (*)|txt|Keep|Call it:|8|" +
                                        Path("b"))
                                           .split('|'));
    EXPECT_EQ(exec.seen[1].section('|', 3, 6).split('|'),
              (QDir::homePath() + "||All Files (*)|Directories").split('|'));
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
    const ShellItem a(Path("a")), same(Path("b/../a/")), gone(Path("gone")), none;
    EXPECT_TRUE(dialog.IShellItem_AreEqual(&a, &same) && !dialog.IShellItem_AreEqual(&a, &none));
    EXPECT_EQ(dialog.IShellItem_GetAttributes(&a, ~0u), sfgao::FileSystem | sfgao::Folder);
    EXPECT_EQ(dialog.IShellItem_GetAttributes(&gone, ~0u), 0u);
}

TEST_F(Shell, AStateGuidBringsBackTheLastFolderChosenUnderIt) {
    FileDialogStates states;
    IFileDialog dialog(&exec, &states);
    const QString guid = "{0B8D2F44-7C1E-4F7B-9D35-6A1E2B3C4D5E}";
    // State GUID, "a" as the startup folder (else just the default one), the folder shown;
    // "b" is chosen in the first show, a "-" forgets it.
    const std::tuple<QString, bool, const char*> shows[] = {{guid, true, "a"},
                                                            {guid.toLower(), false, "b"},
                                                            {guid, true, "a"},
                                                            {"-" + guid, false, "a"},
                                                            {guid, false, "a"}};
    exec.answers = {{{Path("b")}, {}, {}}};
    for (const auto& [state, startup, shown] : shows) {
        dialog.propDialogStateGUID(state);
        dialog.propStartupFolder_Set(Path(startup ? "a" : "gone"));  // "gone": there is none
        dialog.propDefaultFolder_Set(Path("a"));
        dialog.DialogShow(nullptr, 2);
        EXPECT_EQ(exec.seen.back().section('|', 3, 3), Path(shown))
            << state.toStdString() << " " << startup;
    }
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
    void FilterRequest(IFileDialog&, const ShellItem& f, bool& deny) override {
        if (++filtered && f.path.endsWith(".bmp")) deny = true;
    }
    QStringList events;
    int vetoes = 1, filtered = 0;
    bool refuseFolders = true;
};

// The entry `name` of the dialog's list once it is read (waiting `ms` at most), else invalid.
QModelIndex Entry(QFileDialog& d, const QString& name, int ms = 5000) {
    auto* view = d.findChild<QListView*>(QStringLiteral("listView"));
    QModelIndex entry;
    (void)QTest::qWaitFor(
        [&] {
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                if (view->model()->index(row, 0, view->rootIndex()).data() == name)
                    entry = view->model()->index(row, 0, view->rootIndex());
            return entry.isValid();
        },
        ms);
    return entry;
}

// Selects the entry `name` in the dialog's list once it is read, and presses Enter on it.
void Open(QFileDialog& d, const QString& name) {
    auto* view = d.findChild<QListView*>(QStringLiteral("listView"));
    view->setCurrentIndex(Entry(d, name));
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
    EXPECT_EQ(r.filtered, 0);  // not asked for
}

TEST_F(Shell, CustomControlsLiveInTheDialogWhileItShows) {
    IFileDialog f(&exec);
    Receiver r;
    EXPECT_FALSE(f.Customize_CreateNonGroupItem(9, "bad", "x") ||
                 f.Customize_CreateGroup("bad", 5, "x", {}));
    ASSERT_TRUE(f.Customize_CreateContainer("box", "Box") &&
                f.Customize_CreateNonGroupItem(10, "check", "Open read-only") &&
                f.Customize_CloseContainer("box"));
    EXPECT_FALSE(f.Customize_CloseContainer("box") || f.Customize_CloseContainer("check"));
    ASSERT_TRUE(f.Customize_CreateContainer("outer", "Outer") &&
                f.Customize_CreateContainer("inner", "Inner") &&
                f.Customize_CloseContainer("outer"));
    EXPECT_FALSE(f.Customize_CloseContainer("inner"));  // closed with the outer one
    ASSERT_TRUE(f.Customize_CreateNonGroupItem(11, "edit", "first") &&
                f.Customize_CreateNonGroupItem(12, "push", "Push") &&
                f.Customize_CreateNonGroupItem(14, "line", "") &&
                f.Customize_CreateGroup("combo", 1, "Kind", {"A", "gone"}) &&
                f.Customize_CreateGroup("radio", 2, "Pick", {"gone", "x", "y"}) &&
                f.Customize_CreateGroup("menu", 3, "Menu", {"m"}));
    EXPECT_TRUE(f.Customize_RemoveGroupItem("combo", 1) &&
                f.Customize_AppendGroupItem("combo", "B") &&
                f.Customize_RemoveGroupItem("radio", 0));
    EXPECT_FALSE(f.Customize_RemoveGroupItem("radio", 2) ||
                 f.Customize_RemoveGroupItem("radio", -1) ||
                 f.Customize_AppendGroupItem("check", "B") ||
                 f.Customize_CreateNonGroupItem(12, "check", "again"));
    ASSERT_TRUE(f.AttachEvents(&r, "key", false, true, true));
    f.propStartupFolder_Set(Path());
    EXPECT_EQ(f.CustomControl_SetTextBoxText("edit", "idle"), QString());
    QStringList states;  // "key=selected", then "key item=enabled visible" or "=-" when refused
    exec.answers = {
        {{},
         [&](QFileDialog& q) {
             q.show();
             EXPECT_TRUE(f.IsShowing() && Entry(q, "two.txt").isValid());
             EXPECT_FALSE(Entry(q, "three.bmp", 0).isValid());  // denied by the receiver
             auto* host = q.findChild<QWidget*>("customControls");
             q.findChild<QCheckBox*>()->click();
             host->findChild<QPushButton*>()->click();
             QStringList labels;
             for (const QLabel* label : host->findChildren<QLabel*>())
                 labels << label->text();
             EXPECT_EQ(labels, (QStringList{"Kind", "Pick"}));  // no caption for the edit box
             EXPECT_EQ(f.CustomControl_SetTextBoxText("edit", "second"), "second");
             EXPECT_EQ(f.CustomControl_GetTextBoxText("edit"), "second");
             EXPECT_EQ(f.CustomControl_SetControlCaption("none", "x"), "");
             EXPECT_TRUE(f.CustomControl_SetSelected("combo", 1) &&
                         f.CustomControl_SetSelected("radio", 1) &&
                         f.CustomControl_SetState("combo", false, false, 1) &&
                         f.CustomControl_SetState("combo", true, true, 0) &&
                         f.CustomControl_SetState("check", false, true) &&
                         f.CustomControl_SetState("menu", false, true, 0));
             EXPECT_FALSE(f.CustomControl_SetSelected("combo", 2) ||
                          f.CustomControl_SetState("none", true, true) ||
                          f.CustomControl_SetState("menu", true, true, 1));
             for (const QString key : {"check", "combo", "radio", "none", "edit"})
                 states << key + "=" + QString::number(f.CustomControl_GetSelected(key));
             for (const QString key : {"combo", "menu", "radio", "check", "none"})
                 for (int item : {-1, 0, 1, 2}) {
                     bool on = false, shown = false;
                     const bool got = f.CustomControl_GetState(key, on, shown, item);
                     states << key + QString::number(item) + "=" +
                                   (got ? QString::number(on) + QString::number(shown) : "-");
                 }
             EXPECT_FALSE(f.Customize_CreateNonGroupItem(12, "late", "x"));
             f.DialogClose(true);
         },
         {}}};
    EXPECT_EQ(f.DialogShow(nullptr, 0), -1);  // ended by DialogClose with its code
    EXPECT_EQ(states, QString("check=1 combo=1 radio=1 none=-1 edit=-1 combo-1=11 combo0=11 "
                              "combo1=00 combo2=- menu-1=11 menu0=01 menu1=- "
                              "menu2=- radio-1=11 radio0=11 radio1=11 radio2=- check-1=01 check0=- "
                              "check1=- check2=- none-1=- none0=- none1=- none2=-")
                          .split(' '));
    EXPECT_EQ(r.events, (QStringList{"check=1", "push=1"}));
    EXPECT_EQ(f.CustomControl_GetTextBoxText("edit"), QString());
    EXPECT_TRUE(f.Customize_CreateNonGroupItem(10, "check", "cleared with the show"));
    EXPECT_EQ(f.DialogGetFilterIndex(), -1);
    EXPECT_FALSE(f.IsShowing() || f.DialogGetCurrentFolder().has_value());
}

TEST_F(Shell, FolderAndSaveDialogsGiveBackThePathChosen) {
    QWidget owner;
    exec.answers = {{{Path("b")}, {}, {}}, {}};
    EXPECT_EQ(BrowseForFolder(Path("a"), &owner, "Select a folder", &exec), Path("b"));
    EXPECT_EQ(BrowseForFolder(Path("gone"), &owner, "Select a folder", &exec), QString());
    EXPECT_NE(exec.seen[1].section('|', 3, 3), Path("gone"));
    QString deep = Path();
    while (deep.size() < 300)
        deep += "/folder_with_a_long_name";
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const QString filter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    // The answer, the filter index in (from 1) and back (from 1, also on cancel), the path.
    const std::tuple<ScriptedFileDialogExec::Answer, int32_t, int32_t, QString> saves[] = {
        {{}, 2, 2, ""},
        {{{"list"}, {}, {}}, 2, 2, Path("list.txt")},
        {{{"other.csv"}, {}, "All files (*)"}, 1, 2, Path("other.csv")},
        {{{deep + "/castle.txt"}, {}, {}}, 2, 2, deep + "/castle.txt"},
        {{{"pipe"}, {}, {}}, 1, 1, Path("pipe")},  // written as it is
        {{{"pipe.csv"}, {}, {}}, 1, 1, Path("pipe.csv")},
        {{{"a.txt"}, {}, {}}, 1, 1, Path("a.txt")}};  // "a" is a folder
    for (auto [answer, index, indexBack, path] : saves) {
        exec.answers = {answer};
        EXPECT_EQ(ShowSaveDialog(&owner, filter, "Save color index list", Path(), "txt",
                                 path.isEmpty() ? "castle.txt" : "", index, &exec),
                  path);
        EXPECT_EQ(index, indexBack) << path.toStdString();
    }
    EXPECT_EQ(exec.seen[2].section('|', 0, 10).split('|'),
              ("Save color index list|save|0|" + Path() +
               "|castle.txt|Text files (*.txt);All files (*)|All files (*)|txt|&Save|File &name:|8")
                  .split('|'));
    QTimer::singleShot(0,
                       [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
    EXPECT_EQ(BrowseForFolder(Path("a"), &owner, "Select a folder"), QString());
}

TEST(OpenURL, OpensTheLinkOrSaysWhyNotByTheCode) {
    struct Opener : IUrlOpener {
        std::int32_t Open(const QString& t) override { return opened << t, code; }
        QStringList opened;
        std::int32_t code = 33;
    } opener;
    RecordingMessageBox messages;
    OpenURL("https://www.example.org", opener, messages);  // 33: the lowest success
    EXPECT_EQ(opener.opened, QStringList{"https://www.example.org"});
    EXPECT_TRUE(messages.shown.empty());
    const std::pair<std::int32_t, const char*> codes[] = {
        {kShellNoAssociation,
         "There is no application associated with the given filename extension."},
        {-1, "Unknown Error"}};
    for (const auto& [code, text] : codes) {
        opener.code = code;
        OpenURL("mailto:someone@example.org", opener, messages);
        EXPECT_EQ(messages.shown.back().text,
                  "Error opening URL in browser.\r\nShellExecute returned code " +
                      std::to_string(code) + ": " + text);
    }
    EXPECT_EQ(messages.shown.size(), 2u);
    std::set<std::string> texts;  // each code the shell names has a text of its own
    for (int code : {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32})
        texts.insert(ShellExecuteErrorText(code));
    EXPECT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts.count(ShellExecuteErrorText(-1)), 0u);
    EXPECT_EQ(messages.shown[0].title, "ShellExecute Error");
    EXPECT_EQ(DesktopUrlOpener().Open("   "), kShellFileNotFound);
}

// Clicks the link `text` of a help page.
void ClickLink(QTextBrowser* page, const QString& text) {
    QTextCursor at = page->document()->find(text);
    at.setPosition(at.selectionStart() + 2);
    Click(page->viewport(), page->cursorRect(at).center());
}

TEST(Help, ShowsTheTopicOfTheFileBesideTheProgramAndEveryLinkLeadsToATopic) {
    TestApp();
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
    for (const char* button : {"HelpBack", "HelpForward"})  // no history yet
        EXPECT_FALSE(viewer->findChild<QToolButton*>(button)->isEnabled()) << button;
    const int scrolled = viewer->Browser()->verticalScrollBar()->value();
    EXPECT_GT(scrolled, 100);
    viewer->findChild<QToolButton*>("HelpContents")->click();
    EXPECT_EQ(viewer->CurrentTopic(), "1000");
    EXPECT_LT(viewer->Browser()->verticalScrollBar()->value(), scrolled / 4);
    EXPECT_FALSE(viewer->Browser()->document()->find("Recolor Selected BMPs").isNull());
    ClickLink(viewer->Browser(), "The palette grid and its three groups");
    EXPECT_EQ(viewer->CurrentTopic(), "1030");
    EXPECT_TRUE(viewer->Browser()->openExternalLinks());  // web addresses go to the browser
}

TEST(MouseOver, EndsWhenThePointerLeavesTheControlBeyondItsEdges) {
    TestApp();
    QWidget owner;
    clsMouseOver* hover = clsMouseOver::For(&owner);
    EXPECT_FALSE(hover->MouseOverActive() || hover->MouseLeft({}, -1, -1));
    const HoverTarget text{nullptr, {0, 0}, {100, 20}}, scale{nullptr, {10, 10}, {100, 20}};
    const std::tuple<HoverTarget, float, float, bool> moves[] = {
        {text, 100, 20, false}, {text, 0, 0, false}, {text, -1, 5, true}, {text, 5, -1, true},
        {text, 101, 5, true},   {text, 5, 21, true}, {scale, 11, 5, true}};
    for (const auto& [target, x, y, left] : moves) {
        hover->SetMouseOver(target);
        EXPECT_EQ(hover->MouseLeft(target, x, y), left) << x << ", " << y;
        EXPECT_NE(hover->MouseOverActive(), left) << x << ", " << y;
    }
}

TEST(ResizeLimits, HoldWindowsWithinTheirLimitsUntilRemoved) {
    TestApp();
    QWidget main, other;
    main.setMinimumSize(10, 10);
    clsResizeLimits limits;
    limits.AddLimits(&main, 1500, 1200, 0, 0);  // twips; no maximum: the desktop's size
    const QSize least = ScreenUnits::ForWidget(&main).SizeToPixels(1500, 1200);
    EXPECT_EQ(main.minimumSize(), least);
    EXPECT_EQ(main.maximumSize(), main.screen()->virtualGeometry().size());
    limits.AddLimits(&other, 100, 80, 300, 0, true);
    limits.SizeFixed(&other, {50, 40});  // held at its minimum
    EXPECT_EQ(other.maximumSize(), QSize(100, 80));
    EXPECT_EQ(limits.FindLimits(&other), 1);
    main.setMinimumSize(0, 0);
    main.show();  // applied again, now without the frame
    EXPECT_EQ(main.minimumSize(), least - (main.frameGeometry().size() - main.geometry().size()));
    limits.KeepInnerAtLeast(&main, {500, 0});
    main.setMinimumSize(0, 0);
    QMoveEvent moved({5, 5}, {});
    QApplication::sendEvent(&main, &moved);  // moved: applied again
    EXPECT_EQ(main.minimumWidth(), 500);
    limits.RemoveFormLimits(&main);
    EXPECT_EQ(main.minimumSize(), QSize(10, 10));
    EXPECT_EQ(limits.FindLimits(&main), -1);
    QWidget fine;  // on the screen of 144 dots per inch: 10 twips a pixel
    fine.setScreen(QGuiApplication::screens().value(1));
    limits.AddLimits(&fine, 1500, 1200, 0, 0);
    EXPECT_EQ(fine.minimumSize(), QSize(150, 120));
}

}  // namespace
}  // namespace tintwell::test
