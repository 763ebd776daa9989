// The Browse button "..." and "Save Color Index List", with the file dialogs
// answered from a script.
#include "support/MainWindowFixture.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedFileDialogExec.h"

namespace tintwell::test {
namespace {

class BrowseAndIndexList : public MainWindowFixture {
  protected:
    void StartScripted() {
        Start();
        main->Dialogs()->SetFileDialogExec(&dialogs);
    }
    ScriptedFileDialogExec dialogs;
};

TEST_F(BrowseAndIndexList, BrowseConfirmedShowsListsAndStoresTheFolder) {
    TempFolder other;
    WriteDiagonalBmp(other / "z.bmp");
    WriteDiagonalBmp(other / "y.bmp");
    StartScripted();
    dialogs.answers.push_back(
        ScriptedFileDialogExec::Choose({QString::fromStdString(other.Path())}));
    main->cmdBrowse->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Select a folder");
    EXPECT_EQ(dialogs.shown[0].directory, QString::fromStdString(programFolder.Path()));
    EXPECT_EQ(dialogs.shown[0].fileMode, QFileDialog::Directory);
    EXPECT_EQ(dialogs.shown[0].owner, main.get());
    EXPECT_EQ(main->FolderTag(), other.Path().string());
    EXPECT_EQ(main->lblFolder->property("tag").toString().toStdString(), other.Path().string());
    ASSERT_EQ(main->File->count(), 2);
    EXPECT_EQ(main->File->currentItem()->text(), "y.bmp");
    EXPECT_TRUE(IniHas("Folder=" + other.Path().string()));
}

TEST_F(BrowseAndIndexList, BrowseCancelledChangesNothing) {
    WriteDiagonalBmp(programFolder / "a.bmp");
    StartScripted();
    const std::string before = Ini();
    dialogs.answers.push_back(ScriptedFileDialogExec::Cancel());
    main->cmdBrowse->click();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(main->FolderTag(), programFolder.Path().string());
    EXPECT_EQ(main->File->count(), 1);
    EXPECT_EQ(Ini(), before);
}

TEST_F(BrowseAndIndexList, NoImageSaysSoWithoutADialog) {
    WriteIni("[General]\r\nPreview=0\r\n");
    StartScripted();
    main->Dialogs()->mnuOptionsSaveColorIndexList->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "No image selected");
    EXPECT_EQ(messages.shown[0].title, "");  // the program's own
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::OK);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(BrowseAndIndexList, ExportWritesTheIndicesOfTheFileAsLoaded) {
    const std::vector<int> indices{0, 12, 255, 7, 7, 100};
    WriteBmp(programFolder / "a.b.bmp", 3, 2, 8,
             [&](int x, int y) { return indices[static_cast<size_t>(y * 3 + x)]; });
    StartScripted();
    main->lblColor_MouseDown(7, 1, 0, 0, 0);
    main->lblColor_MouseDown(9, 2, 0, 0, 0);  // the preview shows 7 as 9; the export does not
    TempFolder out;
    const std::string chosen = out / "list.txt";
    dialogs.answers.push_back(ScriptedFileDialogExec::Choose({QString::fromStdString(chosen)}));
    main->Dialogs()->mnuOptionsSaveColorIndexList->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const FileDialogSnapshot& shown = dialogs.shown[0];
    EXPECT_EQ(shown.title, "Save color index list");
    EXPECT_EQ(shown.acceptMode, QFileDialog::AcceptSave);
    EXPECT_EQ(shown.fileNameText, "a.txt");  // cut at the first dot
    EXPECT_EQ(shown.directory, QString::fromStdString(programFolder.Path()));
    EXPECT_EQ(shown.defaultSuffix, "txt");
    EXPECT_EQ(shown.nameFilters, (QStringList{"Text files (*.txt)", "All files (*)"}));
    EXPECT_EQ(shown.selectedNameFilter, "Text files (*.txt)");
    EXPECT_EQ(ReadFile(chosen), "  0, 12,255,\r\n  7,  7,100,\r\n");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BrowseAndIndexList, CancelledDialogWritesNothing) {
    WriteDiagonalBmp(programFolder / "a.bmp");
    StartScripted();
    dialogs.answers.push_back(ScriptedFileDialogExec::Cancel());
    main->Dialogs()->mnuOptionsSaveColorIndexList->trigger();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(programFolder.Path() / "a.txt"));
}

TEST_F(BrowseAndIndexList, ImageThatIsNotEightBitWritesNothingAfterTheDialog) {
    WriteBmp(programFolder / "deep.bmp", 4, 4, 24, [](int, int) { return Rgb(1, 2, 3); });
    StartScripted();
    messages.shown.clear();
    main->View()->LoadFile(programFolder / "deep.bmp");
    ASSERT_NE(main->View()->PreviewBitmap(), nullptr);
    const std::string chosen = programFolder / "kept.txt";
    WriteFile(chosen, "old");
    auto answer = ScriptedFileDialogExec::Choose({QString::fromStdString(chosen)});
    answer.during = [](QFileDialog&) {
        ScriptedFileDialogExec::AnswerNextQuestion(QMessageBox::Yes);  // replace it
    };
    dialogs.answers.push_back(answer);
    main->Dialogs()->mnuOptionsSaveColorIndexList->trigger();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(ReadFile(chosen), "old");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(BrowseAndIndexList, IndexListWriteFailureIsReportedAndTheProgramGoesOn) {
    WriteDiagonalBmp(programFolder / "a.bmp");
    StartScripted();
    const std::string chosen = (programFolder.Path() / "no such folder" / "a.txt").string();
    dialogs.answers.push_back(ScriptedFileDialogExec::Choose({QString::fromStdString(chosen)}));
    main->Dialogs()->mnuOptionsSaveColorIndexList->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Error);
    EXPECT_NE(messages.shown[0].text.find("could not be saved"), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find("a.txt"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(chosen));
    EXPECT_TRUE(main->isVisible());
}

TEST_F(BrowseAndIndexList, OptionsMenuEndsWithTheExportCommand) {
    Start();
    const auto actions = main->mnuOptions->actions();
    ASSERT_GE(actions.size(), 5);
    EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
    EXPECT_EQ(actions.back()->text(), "Save Color Index List");
    EXPECT_TRUE(main->cmdBrowse->isVisible());
    EXPECT_EQ(main->cmdBrowse->text(), "...");
}

}  // namespace
}  // namespace tintwell::test
