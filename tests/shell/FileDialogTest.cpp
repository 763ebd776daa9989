#include <gtest/gtest.h>

#include <QAbstractProxyModel>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "shell/FileDialogStates.h"
#include "shell/IFileDialog.h"
#include "shell/IFileDialogEvents.h"
#include "support/ScriptedFileDialogExec.h"
#include "support/WindowsTestKit.h"

namespace tintwell {
namespace {

using test::ScriptedFileDialogExec;

class FileDialogTest : public test::WithTestApp, public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        dir = QDir(root.path());
        ASSERT_TRUE(dir.mkpath("a"));
        ASSERT_TRUE(dir.mkpath("b"));
        for (const char* name : {"one.txt", "two.txt", "three.bmp"}) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }

    // Shows in `mode` and reports the flags that the show used.
    uint32_t FlagsUsed(uint32_t flags, int mode) {
        IFileDialog dialog(&exec);
        dialog.propFlags(flags);
        uint32_t used = 0;
        auto answer = ScriptedFileDialogExec::Cancel();
        answer.during = [&](QFileDialog&) { used = dialog.propFlags(); };
        exec.answers.push_back(answer);
        dialog.DialogShow(nullptr, mode);
        return used;
    }

    QTemporaryDir root;
    QDir dir;
    ScriptedFileDialogExec exec;
};

TEST_F(FileDialogTest, FlagRulesPerMode) {
    EXPECT_EQ(FlagsUsed(0, 2), 0x1820u);         // folder defaults
    EXPECT_EQ(FlagsUsed(0x800, 2), 0x820u);      // PICKFOLDERS added
    EXPECT_EQ(FlagsUsed(0x18A0, 2), 0x18A0u);    // kept as given
    EXPECT_EQ(FlagsUsed(0x18C0, 2), 0x1860u);    // FORCEFILESYSTEM drops ALLNONSTORAGE
    EXPECT_EQ(FlagsUsed(0, 0), 0x1800u);         // open defaults
    EXPECT_EQ(FlagsUsed(0x20, 0), 0x1800u);      // PICKFOLDERS removed, then defaults
    EXPECT_EQ(FlagsUsed(0, 1), 0x8802u);         // save defaults
    EXPECT_EQ(FlagsUsed(0x220 | 0x2, 1), 0x2u);  // no folders or multiselect in save
}

TEST_F(FileDialogTest, ModesChooseTheQtDialogKind) {
    IFileDialog dialog(&exec);
    dialog.DialogShow(nullptr, 1);
    dialog.propFlags(fos::AllowMultiSelect);
    dialog.DialogShow(nullptr, 0);
    dialog.DialogShow(nullptr, 0);
    ASSERT_EQ(exec.shown.size(), 3u);
    EXPECT_EQ(exec.shown[0].acceptMode, QFileDialog::AcceptSave);
    EXPECT_FALSE(exec.shown[0].options.testFlag(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(exec.shown[1].fileMode, QFileDialog::ExistingFiles);
    EXPECT_EQ(exec.shown[2].fileMode, QFileDialog::ExistingFile);
}

TEST_F(FileDialogTest, SettingsClearedAfterShowWhileResultsStay) {
    IFileDialog dialog(&exec);
    dialog.propFlags(0x18A0);
    dialog.propFilters("Text|*.txt");
    dialog.propInitialFileName("x");
    dialog.propStartupFolder_Set(dir.filePath("a"));
    exec.answers.push_back(ScriptedFileDialogExec::Choose({dir.filePath("b")}));
    ASSERT_EQ(dialog.DialogShow(nullptr, 2, "Pick"), 0);
    EXPECT_EQ(dialog.propFlags(), 0u);
    EXPECT_EQ(dialog.propFilters(), QString());
    EXPECT_EQ(dialog.propInitialFileName(), QString());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(dialog.propStartupFolder_Get()));
    EXPECT_EQ(dialog.ResultsCount(), 1);
    EXPECT_EQ(dialog.IShellItem_GetDisplayName(dialog.ResultsItem(1), sigdn::NormalDisplay),
              dir.filePath("b"));
    dialog.Clear();  // drops the results too
    EXPECT_EQ(dialog.ResultsCount(), 0);
}

TEST_F(FileDialogTest, ResultsItemOutsideTheRangeGivesNothing) {
    IFileDialog dialog(&exec);
    dialog.propFlags(fos::AllowMultiSelect | fos::FileMustExist);
    dialog.propStartupFolder_Set(dir.path());
    exec.answers.push_back(ScriptedFileDialogExec::Choose({"one.txt", "two.txt"}));
    ASSERT_EQ(dialog.DialogShow(nullptr, 0), 0);
    ASSERT_EQ(dialog.ResultsCount(), 2);
    EXPECT_FALSE(dialog.ResultsItem(0).has_value());
    EXPECT_FALSE(dialog.ResultsItem(3).has_value());
    EXPECT_FALSE(dialog.ResultsItem(-1).has_value());
    EXPECT_EQ(dialog.ResultsItem(1)->path, dir.filePath("one.txt"));
    EXPECT_EQ(dialog.ResultsItem(2)->path, dir.filePath("two.txt"));
    EXPECT_EQ(dialog.Results().size(), 2u);
}

TEST_F(FileDialogTest, CancelGivesTheCancelCodeAndNoResults) {
    IFileDialog dialog(&exec);
    exec.answers.push_back(ScriptedFileDialogExec::Choose({dir.filePath("a")}));
    ASSERT_EQ(dialog.DialogShow(nullptr, 2), 0);
    exec.answers.push_back(ScriptedFileDialogExec::Cancel());
    EXPECT_EQ(dialog.DialogShow(nullptr, 2), static_cast<int32_t>(0x800704C7));
    EXPECT_EQ(dialog.ResultsCount(), 0);  // a new show drops the old results
    EXPECT_FALSE(dialog.ResultsItem(1).has_value());
    EXPECT_EQ(dialog.IShellItem_GetDisplayName(dialog.ResultsItem(1), 0), QString());
}

TEST_F(FileDialogTest, UnknownModeAndSecondShowAreRefused) {
    IFileDialog dialog(&exec);
    dialog.propFlags(0x20);
    EXPECT_EQ(dialog.DialogShow(nullptr, 3), -1);
    EXPECT_EQ(dialog.propFlags(), 0u);  // cleared
    EXPECT_TRUE(exec.shown.empty());

    int32_t nested = 0;
    auto answer = ScriptedFileDialogExec::Cancel();
    answer.during = [&](QFileDialog&) { nested = dialog.DialogShow(nullptr, 0); };
    exec.answers.push_back(answer);
    dialog.DialogShow(nullptr, 0);
    EXPECT_EQ(nested, -1);
}

TEST_F(FileDialogTest, FiltersTurnIntoQtNameFiltersWithTheIndex) {
    IFileDialog dialog(&exec);
    dialog.propFilters("Text files (*.txt)|*.txt|All files (*.*)|*.*|odd");
    dialog.propFilterIndex(1);
    dialog.DialogShow(nullptr, 0);
    dialog.propFilters("Only one piece");
    dialog.DialogShow(nullptr, 0);
    dialog.DialogShow(nullptr, 0);  // empty: every file
    ASSERT_EQ(exec.shown.size(), 3u);
    EXPECT_EQ(exec.shown[0].nameFilters, (QStringList{"Text files (*.txt)", "All files (*)"}));
    EXPECT_EQ(exec.shown[0].selectedNameFilter, "All files (*)");
    EXPECT_EQ(exec.shown[1].nameFilters, QStringList{"All Files (*)"});  // Qt's own default
    EXPECT_EQ(exec.shown[2].nameFilters, QStringList{"All Files (*)"});
}

TEST_F(FileDialogTest, TextsFolderAndPlacesAreApplied) {
    IFileDialog dialog(&exec);
    dialog.propInitialFileName("name.txt");
    dialog.propOKButtonCaption("Keep");
    dialog.propFileLabelCaption("Call it:");
    dialog.propDefaultExtensions(".txt");
    dialog.propStartupFolder_Set(dir.filePath("a"));
    dialog.propAddPlace_SetFolder(dir.filePath("b"), 0, true);
    dialog.DialogShow(nullptr, 1, "Store");
    ASSERT_EQ(exec.shown.size(), 1u);
    const auto& s = exec.shown.front();
    EXPECT_EQ(s.title, "Store");
    EXPECT_EQ(s.directory, dir.filePath("a"));
    EXPECT_EQ(s.fileNameText, "name.txt");
    EXPECT_EQ(s.acceptLabel, "Keep");
    EXPECT_EQ(s.fileNameLabel, "Call it:");
    EXPECT_EQ(s.defaultSuffix, "txt");
    ASSERT_FALSE(s.places.isEmpty());
    EXPECT_EQ(s.places.front(), QUrl::fromLocalFile(dir.filePath("b")));
}

TEST_F(FileDialogTest, FolderValuesKeepOnlyWellFormedGuids) {
    IFileDialog dialog(&exec);
    dialog.propStartupFolder_Set(QString("{not a guid}"));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(dialog.propStartupFolder_Get()));
    const QString profile = "{5E6C858F-0E22-4760-9AFE-EA3317B67173}";
    dialog.propStartupFolder_Set(profile);
    EXPECT_EQ(std::get<QString>(dialog.propStartupFolder_Get()), profile);
    dialog.propAddPlace_SetFolder(ShellItem(dir.path()), 0, true);
    bool top = false;
    EXPECT_EQ(std::get<ShellItem>(dialog.propAddPlace_GetFolder(&top)).path, dir.path());
    EXPECT_TRUE(top);
    dialog.DialogShow(nullptr, 2);
    ASSERT_EQ(exec.shown.size(), 1u);
    EXPECT_EQ(exec.shown.front().directory,
              QDir(QStandardPaths::writableLocation(QStandardPaths::HomeLocation)).absolutePath());
}

TEST_F(FileDialogTest, StateGuidRemembersTheLastFolderForTheRun) {
    FileDialogStates states;
    const QString guid = "{0A1B2C3D-0000-4000-8000-00000000ABCD}";
    IFileDialog dialog(&exec, &states);
    dialog.propDialogStateGUID(guid);
    dialog.propStartupFolder_Set(dir.filePath("b"));
    exec.answers.push_back(ScriptedFileDialogExec::Choose({dir.filePath("b/../a")}));
    ASSERT_EQ(dialog.DialogShow(nullptr, 2), 0);
    EXPECT_EQ(states.Folder(guid), dir.filePath("a"));

    dialog.propDialogStateGUID(guid.toLower());
    dialog.propDefaultFolder_Set(dir.filePath("b"));
    dialog.DialogShow(nullptr, 2);  // the remembered folder wins over the default one
    dialog.propDialogStateGUID("-" + guid);
    dialog.propDefaultFolder_Set(dir.filePath("b"));
    dialog.DialogShow(nullptr, 2);  // "-": forgotten first, so the default one
    ASSERT_EQ(exec.shown.size(), 3u);
    EXPECT_EQ(exec.shown[1].directory, dir.filePath("a"));
    EXPECT_EQ(exec.shown[2].directory, dir.filePath("b"));
    EXPECT_EQ(states.Folder(guid), QString());
}

TEST_F(FileDialogTest, ShellItemMembers) {
    IFileDialog dialog(&exec);
    const ShellItem file(dir.filePath("one.txt"));
    const ShellItem folder(dir.filePath("a"));
    EXPECT_EQ(dialog.IShellItem_GetDisplayName(&file, sigdn::DesktopAbsoluteEditing), file.path);
    EXPECT_EQ(dialog.IShellItem_GetDisplayName(nullptr, 0, true), QString());
    EXPECT_EQ(dialog.IShellItem_GetParent(&file)->path, dir.path());
    EXPECT_EQ(dialog.IShellItem_GetAttributes(&folder, sfgao::Folder | sfgao::Stream),
              sfgao::Folder);
    EXPECT_EQ(dialog.IShellItem_GetAttributes(&file, sfgao::Folder | sfgao::Stream), sfgao::Stream);
    const ShellItem same(dir.path() + "/a/");
    EXPECT_TRUE(dialog.IShellItem_AreEqual(&folder, &same));
    EXPECT_FALSE(dialog.IShellItem_AreEqual(&folder, &file));
    EXPECT_FALSE(dialog.IShellItem_AreEqual(&folder, nullptr));
}

// Records the events raised during a show and can veto the first OK.
class Receiver : public IFileDialogEvents {
  public:
    void DialogOnInit(IFileDialog& b) override {
        events << "init";
        windowWhileShowing = b.DialogHWND();
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
    void DialogOnSelectionChanged(IFileDialog&) override { ++selectionChanges; }
    void FilterRequest(IFileDialog&, const ShellItem& item, bool& deny) override {
        deny = item.path.endsWith(".bmp");
    }
    void CustomControlClicked(IFileDialog&, const QString& key, int32_t& result) override {
        events << key + "=" + QString::number(result);
    }

    QStringList events;
    int selectionChanges = 0;
    int vetoes = 0;
    bool refuseFolders = false;
    QWidget* windowWhileShowing = nullptr;
};

TEST_F(FileDialogTest, AttachEventsNeedsAReceiverAndOneWish) {
    IFileDialog dialog(&exec);
    Receiver r;
    EXPECT_FALSE(dialog.AttachEvents(nullptr));
    EXPECT_FALSE(dialog.AttachEvents(&r, "k", false, false, false));
    EXPECT_TRUE(dialog.AttachEvents(&r, "k"));
    EXPECT_FALSE(dialog.AttachEvents(&r, "k"));  // one receiver at a time
}

TEST_F(FileDialogTest, FileOkCancelKeepsTheDialogOpen) {
    IFileDialog dialog(&exec);
    Receiver r;
    r.vetoes = 1;
    ASSERT_TRUE(dialog.AttachEvents(&r));
    bool stillOpenAfterVeto = false;
    auto answer = ScriptedFileDialogExec::Choose({dir.filePath("b")});
    answer.during = [&](QFileDialog& d) {
        d.show();
        d.setDirectory(dir.filePath("a"));
        static_cast<QDialog&>(d).accept();  // vetoed
        stillOpenAfterVeto = d.isVisible() && d.result() != QDialog::Accepted;
    };
    exec.answers.push_back(answer);
    EXPECT_EQ(dialog.DialogShow(nullptr, 2), 0);
    EXPECT_TRUE(stillOpenAfterVeto);
    EXPECT_EQ(r.events.count("ok"), 2);
    EXPECT_EQ(r.events.mid(0, 2), (QStringList{"init", "type"}));
    EXPECT_NE(r.windowWhileShowing, nullptr);
    EXPECT_EQ(dialog.DialogHWND(), nullptr);  // idle again
    EXPECT_EQ(dialog.ResultsItem(1)->path, dir.filePath("b"));
}

TEST_F(FileDialogTest, CustomControlsLiveInTheDialogAndReportClicks) {
    IFileDialog dialog(&exec);
    Receiver r;
    EXPECT_FALSE(dialog.Customize_CreateNonGroupItem(9, "bad", "x"));
    EXPECT_FALSE(dialog.Customize_CreateGroup("bad", 5, "x", {}));
    ASSERT_TRUE(dialog.Customize_CreateNonGroupItem(10, "check", "Open read-only"));
    ASSERT_TRUE(dialog.Customize_CreateNonGroupItem(11, "edit", "first"));
    ASSERT_TRUE(dialog.Customize_CreateGroup("combo", 1, "Kind", {"A", "B"}));
    EXPECT_FALSE(dialog.Customize_CreateNonGroupItem(12, "check", "again"));  // key taken
    ASSERT_TRUE(dialog.AttachEvents(&r, "key", true, true, false));
    EXPECT_EQ(dialog.CustomControl_SetTextBoxText("edit", "idle"), QString());
    QString textWhileShowing;
    int selectedCombo = -2;
    auto answer = ScriptedFileDialogExec::Cancel();
    answer.during = [&](QFileDialog& d) {
        d.show();
        auto* check = d.findChild<QCheckBox*>();
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->text(), "Open read-only");
        check->click();
        dialog.CustomControl_SetTextBoxText("edit", "second");
        textWhileShowing = dialog.CustomControl_GetTextBoxText("edit");
        dialog.CustomControl_SetSelected("combo", 1);
        selectedCombo = dialog.CustomControl_GetSelected("combo");
    };
    exec.answers.push_back(answer);
    dialog.DialogShow(nullptr, 0);
    EXPECT_TRUE(r.events.contains("check=1"));
    EXPECT_EQ(textWhileShowing, "second");
    EXPECT_EQ(selectedCombo, 1);
    EXPECT_EQ(dialog.CustomControl_GetTextBoxText("edit"), QString());
    EXPECT_TRUE(dialog.Customize_CreateNonGroupItem(10, "check", "cleared with the show"));
}

TEST_F(FileDialogTest, DialogCloseEndsTheShowWithItsCode) {
    IFileDialog dialog(&exec);
    auto answer = ScriptedFileDialogExec::Cancel();
    answer.during = [&](QFileDialog&) { dialog.DialogClose(true); };
    exec.answers.push_back(answer);
    EXPECT_EQ(dialog.DialogShow(nullptr, 2), -1);
    EXPECT_EQ(dialog.ResultsCount(), 0);
    dialog.DialogClose(true);  // idle: nothing happens
    EXPECT_EQ(dialog.DialogGetFilterIndex(), -1);
    EXPECT_FALSE(dialog.DialogGetCurrentFolder().has_value());
}

// Selects the entry `name` of the folder shown in the dialog's list and presses
// Enter on it, once the dialog has read the folder.
void OpenFolderAsTheUserDoes(QFileDialog& d, const QString& name) {
    auto* view = d.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    QModelIndex entry;
    (void)QTest::qWaitFor(  // the outcome is asserted below
        [&] {
            const QModelIndex root = view->rootIndex();
            for (int row = 0; row < view->model()->rowCount(root); ++row) {
                const QModelIndex at = view->model()->index(row, 0, root);
                if (at.data().toString() == name) entry = at;
            }
            return entry.isValid();
        },
        5000);
    ASSERT_TRUE(entry.isValid()) << name.toStdString();
    view->setCurrentIndex(entry);
    test::Key(view, Qt::Key_Return);
}

TEST_F(FileDialogTest, FolderChangeCanBeRefusedAndIsReportedOtherwise) {
    IFileDialog dialog(&exec);
    Receiver r;
    ASSERT_TRUE(dialog.AttachEvents(&r));
    dialog.propStartupFolder_Set(dir.path());
    QString refusedAt, acceptedAt;
    auto answer = ScriptedFileDialogExec::Cancel();
    answer.during = [&](QFileDialog& d) {
        d.show();
        r.refuseFolders = true;
        OpenFolderAsTheUserDoes(d, "a");
        refusedAt = d.directory().absolutePath();
        r.refuseFolders = false;
        OpenFolderAsTheUserDoes(d, "b");
        acceptedAt = dialog.DialogGetCurrentFolder()->path;
    };
    exec.answers.push_back(answer);
    dialog.DialogShow(nullptr, 0);
    EXPECT_EQ(refusedAt, dir.path());
    EXPECT_EQ(acceptedAt, dir.filePath("b"));
    EXPECT_TRUE(r.events.contains("changing a"));
    EXPECT_TRUE(r.events.contains("changing b"));
    EXPECT_EQ(r.events.count("changed"), 1);
}

TEST_F(FileDialogTest, ItemFilterHidesDeniedEntries) {
    IFileDialog dialog(&exec);
    Receiver r;
    ASSERT_TRUE(dialog.AttachEvents(&r, "", false, false, true));
    dialog.propStartupFolder_Set(dir.path());
    QStringList listed;
    auto answer = ScriptedFileDialogExec::Cancel();
    answer.during = [&](QFileDialog& d) {
        d.show();
        QAbstractItemModel* model = d.proxyModel();
        ASSERT_NE(model, nullptr);
        auto* files = qobject_cast<QFileSystemModel*>(
            qobject_cast<QAbstractProxyModel*>(model)->sourceModel());
        ASSERT_NE(files, nullptr);
        auto* proxy = qobject_cast<QAbstractProxyModel*>(model);
        QModelIndex folder;
        (void)QTest::qWaitFor(  // what was listed is checked below
            [&] {
                folder = proxy->mapFromSource(files->index(dir.path()));
                return folder.isValid() && model->rowCount(folder) >= 4;
            },
            5000);
        for (int row = 0; row < model->rowCount(folder); ++row) {
            listed << model->index(row, 0, folder).data().toString();
        }
    };
    exec.answers.push_back(answer);
    dialog.DialogShow(nullptr, 0);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"a", "b", "one.txt", "two.txt"}));  // three.bmp hidden
}

}  // namespace
}  // namespace tintwell
