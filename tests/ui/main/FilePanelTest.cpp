// The folder label, the file list and the batch recolour.
#include <QFontMetrics>

#include "support/MainWindowFixture.h"
#include "ui/main/modPathEllipsis.h"

namespace tintwell::test {
namespace {

class FilePanel : public MainWindowFixture {
  protected:
    // Pixel (x, y) of an 8-bit file on disk.
    int PixelOnDisk(const std::string& path, int x, int y) {
        clsBitmap b;
        EXPECT_TRUE(b.LoadFromFile(path));
        return b.GetPixelAt(x, y);
    }
    void SelectRows(std::initializer_list<int> rows) {
        main->File->clearSelection();
        for (int r : rows)
            main->File->item(r)->setSelected(true);
    }
};

TEST_F(FilePanel, ListsBmpFilesOfAnyCaseSortedWithoutRegardToCase) {
    WriteDiagonalBmp(programFolder / "b.BMP");
    WriteDiagonalBmp(programFolder / "a.bmp");
    WriteDiagonalBmp(programFolder / "C.Bmp");
    WriteFile(programFolder.Path() / "notes.txt", "x");
    std::filesystem::create_directory(programFolder.Path() / "d.bmp");
    Start();
    ASSERT_EQ(main->File->count(), 3);
    EXPECT_EQ(main->File->item(0)->text(), "a.bmp");
    EXPECT_EQ(main->File->item(1)->text(), "b.BMP");
    EXPECT_EQ(main->File->item(2)->text(), "C.Bmp");
    EXPECT_EQ(main->File->currentRow(), 0);
}

TEST_F(FilePanel, ClickingAFileLoadsItsPaletteAndPreview) {
    WriteDiagonalBmp(programFolder / "a.bmp", 10, 10);
    WriteBmp(
        programFolder / "b.bmp", 30, 20, 8, [](int, int) { return 1; },
        [](int i) { return Rgb(0, i, 0); });
    Start();
    const QRect row = main->File->visualItemRect(main->File->item(1));
    Click(main->File->viewport(), row.center());
    EXPECT_EQ(main->File->currentRow(), 1);
    EXPECT_EQ(main->lblColor->BackColor(7), Rgb(0, 7, 0));
    EXPECT_EQ(main->LoadedView()->windowTitle(), "30 x 20");
}

TEST_F(FilePanel, TwentyFourBitFileIsNotPreviewedAndKeepsThePalette) {
    WriteDiagonalBmp(programFolder / "a.bmp", 10, 10);
    WriteBmp(programFolder / "b.bmp", 4, 4, 24, [](int, int) { return Rgb(1, 2, 3); });
    Start();
    main->File->setCurrentRow(1);
    EXPECT_EQ(Texts(),
              std::vector<std::string>{"Cannot load palette. BMP is not 8 bit (256 colors)."});
    EXPECT_EQ(main->LoadedView()->windowTitle(), "0 x 0");
    EXPECT_EQ(main->lblColor->BackColor(7), DistinctColor(7));
}

TEST_F(FilePanel, RefreshKeepsTheCurrentFileOrFallsBackToTheFirst) {
    for (auto n : {"a.bmp", "b.bmp", "c.bmp"})
        WriteDiagonalBmp(programFolder / n);
    Start();
    main->File->setCurrentRow(2);
    WriteDiagonalBmp(programFolder / "0-new.bmp");
    main->cmdRefreshFiles->click();
    EXPECT_EQ(main->File->count(), 4);
    EXPECT_EQ(main->File->currentItem()->text(), "c.bmp");

    std::filesystem::remove(programFolder.Path() / "c.bmp");
    main->cmdRefreshFiles->click();
    EXPECT_EQ(main->File->count(), 3);
    EXPECT_EQ(main->File->currentRow(), 0);
}

TEST_F(FilePanel, FolderWithoutBmpFilesLeavesListEmptyAndGridAsItWas) {
    WriteDiagonalBmp(programFolder / "a.bmp");
    Start();
    TempFolder empty;
    main->SetFolderLabel(main->lblFolder, empty.Path().string());
    main->SetFileListFolder(main->FolderTag());
    EXPECT_EQ(main->File->count(), 0);
    EXPECT_EQ(main->lblColor->BackColor(9), DistinctColor(9));
    main->cmdRecolor->click();  // nothing selected: no message, no crash
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FilePanel, LongFolderIsShortenedInTheMiddleWithTooltip) {
    Start();
    const std::string longPath =
        "/home/someone/pictures/holidays/two thousand and twenty six/summer at the lake/tiles";
    main->SetFolderLabel(main->lblFolder, longPath);
    const QString shown = main->lblFolder->text();
    EXPECT_TRUE(shown.contains("..."));
    EXPECT_TRUE(shown.endsWith("/tiles"));
    EXPECT_TRUE(shown.startsWith("/home"));
    EXPECT_EQ(main->lblFolder->toolTip().toStdString(), longPath);
    EXPECT_EQ(main->FolderTag(), longPath);

    // Wider window, more of the path.
    main->resize(main->width() + 300, main->height());
    QCoreApplication::processEvents();
    EXPECT_GT(main->lblFolder->text().size(), shown.size());
    EXPECT_EQ(main->FolderTag(), longPath);

    main->SetFolderLabel(main->lblFolder, "/tmp/short");
    EXPECT_EQ(main->lblFolder->text(), "/tmp/short");
    EXPECT_TRUE(main->lblFolder->toolTip().isEmpty());
}

TEST(PathEllipsis, KeepsLastComponentAndFitsWhenPossible) {
    TestApp();
    const QFontMetrics fm(QApplication::font());
    const QString path = "/aaaa/bbbbbbbbbbbbbbbbbbbbbbbbbbbb/cccccccccccccccccccc/last-part";
    EXPECT_EQ(PathEllipsis(path, fm, 100000), path);
    const int width = fm.horizontalAdvance("/aaaa/bbb.../last-part") + 1;
    const QString s = PathEllipsis(path, fm, width);
    EXPECT_LE(fm.horizontalAdvance(s), width);
    EXPECT_TRUE(s.startsWith("/aaaa/bbb"));
    EXPECT_TRUE(s.endsWith(".../last-part"));
    // Too narrow even for the last component: it is kept whole all the same.
    EXPECT_EQ(PathEllipsis(path, fm, 5), ".../last-part");
}

TEST_F(FilePanel, BatchOfThreeWithOneTwentyFourBitFile) {
    WriteDiagonalBmp(programFolder / "a.bmp", 8, 8);
    WriteBmp(programFolder / "b.bmp", 4, 4, 24, [](int, int) { return Rgb(9, 9, 9); });
    WriteDiagonalBmp(programFolder / "c.bmp", 8, 8);
    WriteIni("[General]\r\nBackupBMPs=0\r\n");
    Start();
    const std::string before24 = ReadFile(programFolder.Path() / "b.bmp");
    app->Map().SetMapping(3, 250);
    SelectRows({0, 1, 2});
    messages.shown.clear();
    main->cmdRecolor->click();

    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].title, "BMP is not 8-bit");
    EXPECT_EQ(messages.shown[0].text,
              "\"" + (programFolder / "b.bmp") + "\" is not a 256 color BMP");
    EXPECT_EQ(messages.shown[1].text, "Recoloration complete");
    EXPECT_EQ(messages.shown[1].title, "");
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::None);
    EXPECT_EQ(messages.shown[1].buttons, MsgButtons::OK);

    EXPECT_EQ(PixelOnDisk(programFolder / "a.bmp", 3, 0), 250);
    EXPECT_EQ(PixelOnDisk(programFolder / "c.bmp", 1, 2), 250);
    EXPECT_EQ(PixelOnDisk(programFolder / "c.bmp", 1, 1), 2);
    EXPECT_EQ(ReadFile(programFolder.Path() / "b.bmp"), before24);
    EXPECT_FALSE(std::filesystem::exists(programFolder.Path() / "Tintwell Backup"));
    EXPECT_EQ(progress.begun, std::vector<int>{3});
    EXPECT_EQ(progress.names, (std::vector<std::string>{"a.bmp", "b.bmp", "c.bmp"}));
    EXPECT_EQ(progress.ended, 1);
    EXPECT_EQ(main->focusWidget(), main->File);
}

TEST_F(FilePanel, BatchUsesThePreviewSelectionAndBacksUp) {
    WriteDiagonalBmp(programFolder / "a.bmp", 8, 8);
    Start();  // backup and outside ticked by default
    app->Map().SetMapping(0, 100);
    app->Map().SetMapping(4, 104);
    main->LoadedView()->MoveSelection(0, 0, 3, 3);
    SelectRows({0});
    main->cmdRecolor->click();
    EXPECT_TRUE(messages.shown.empty());  // one file: no completion message
    EXPECT_TRUE(progress.begun.empty());
    EXPECT_EQ(PixelOnDisk(programFolder / "a.bmp", 0, 0), 0);    // inside: kept
    EXPECT_EQ(PixelOnDisk(programFolder / "a.bmp", 4, 0), 104);  // outside: recoloured
    EXPECT_TRUE(std::filesystem::exists(programFolder.Path() / "Tintwell Backup" / "a.bmp"));
    // The preview shows the file as it now is on disk.
    EXPECT_EQ(main->LoadedView()->img(0)->Picture().pixel(4, 0), QColor(104, 151, 216).rgb());
}

TEST_F(FilePanel, CancelStopsBetweenFilesAndShowsNoCompletion) {
    for (auto n : {"a.bmp", "b.bmp", "c.bmp"})
        WriteDiagonalBmp(programFolder / n, 4, 4);
    WriteIni("[General]\r\nBackupBMPs=0\r\n");
    Start();
    app->Map().SetMapping(1, 77);
    progress.stopBefore = {1};
    SelectRows({0, 1, 2});
    main->cmdRecolor->click();
    EXPECT_EQ(PixelOnDisk(programFolder / "a.bmp", 1, 0), 77);
    EXPECT_EQ(PixelOnDisk(programFolder / "b.bmp", 1, 0), 1);
    EXPECT_EQ(PixelOnDisk(programFolder / "c.bmp", 1, 0), 1);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(progress.ended, 1);
}

TEST_F(FilePanel, DeletedFileGivesNotFoundAndTheBatchGoesOn) {
    for (auto n : {"a.bmp", "b.bmp"})
        WriteDiagonalBmp(programFolder / n, 4, 4);
    WriteIni("[General]\r\nBackupBMPs=0\r\n");
    Start();
    app->Map().SetMapping(1, 77);
    SelectRows({0, 1});
    std::filesystem::remove(programFolder.Path() / "a.bmp");
    main->cmdRecolor->click();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].title, "Not Found");
    EXPECT_EQ(messages.shown[1].text, "Recoloration complete");
    EXPECT_EQ(PixelOnDisk(programFolder / "b.bmp", 1, 0), 77);
}

TEST_F(FilePanel, F5InThePreviewRunsTheBatchAndShiftF5DoesNothing) {
    for (auto n : {"a.bmp", "b.bmp"})
        WriteDiagonalBmp(programFolder / n, 4, 4);
    WriteIni("[General]\r\nBackupBMPs=0\r\n");
    Start();
    app->Map().SetMapping(1, 77);
    SelectRows({0, 1});
    frmView* view = main->LoadedView();
    view->vsbZoom()->setFocus();

    Key(view->vsbZoom(), Qt::Key_F5, Qt::ShiftModifier);
    Key(view->vsbZoom(), Qt::Key_F5, Qt::ControlModifier);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(PixelOnDisk(programFolder / "a.bmp", 1, 0), 1);

    Key(view->vsbZoom(), Qt::Key_F5);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Recoloration complete"});
    EXPECT_EQ(PixelOnDisk(programFolder / "a.bmp", 1, 0), 77);
    EXPECT_EQ(PixelOnDisk(programFolder / "b.bmp", 1, 0), 77);

    // Straight to the window, with no control focused, works the same.
    messages.shown.clear();
    Key(view, Qt::Key_F5);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Recoloration complete"});
}

TEST_F(FilePanel, BadFilesNeverCrashTheWindows) {
    WriteDiagonalBmp(programFolder / "a.bmp", 8, 8);
    const std::string good = ReadFile(programFolder.Path() / "a.bmp");
    // Pixel data cut short: the palette loads, the preview refuses with a message.
    WriteFile(programFolder.Path() / "b-short.bmp", good.substr(0, good.size() - 20));
    // Header claiming a huge image over a few pixel bytes.
    std::string huge = good;
    for (int i = 0; i < 4; ++i)
        huge[18 + i] = huge[22 + i] = (i == 2 ? 1 : 0);  // 65536 x 65536
    WriteFile(programFolder.Path() / "c-huge.bmp", huge);
    // Cut inside the header and inside the palette, and empty.
    WriteFile(programFolder.Path() / "d-header.bmp", good.substr(0, 30));
    WriteFile(programFolder.Path() / "e-palette.bmp", good.substr(0, 300));
    WriteFile(programFolder.Path() / "f-empty.bmp", "");
    WriteIni("[General]\r\nBackupBMPs=0\r\n");
    Start();
    for (int row = 1; row < main->File->count(); ++row) {
        messages.shown.clear();
        main->File->setCurrentRow(row);
        const std::string name = main->File->item(row)->text().toStdString();
        ASSERT_FALSE(messages.shown.empty()) << name;
        if (name == "b-short.bmp" || name == "c-huge.bmp") {
            EXPECT_NE(messages.shown[0].text.find("cannot be previewed"), std::string::npos);
            EXPECT_LT(main->LoadedView()->width(), 1000) << name;
            // Pointing at the empty preview does nothing.
            main->LoadedView()->img_MouseDown(0, 1, QPoint(0, 0));
        } else {
            EXPECT_EQ(messages.shown[0].title, "BMP is not 8-bit") << name;
        }
    }
    // A batch over all of them reports each and rewrites none.
    main->File->selectAll();
    messages.shown.clear();
    main->cmdRecolor->click();
    EXPECT_EQ(ReadFile(programFolder.Path() / "b-short.bmp"), good.substr(0, good.size() - 20));
    EXPECT_EQ(messages.shown.back().text, "Recoloration complete");
}

}  // namespace
}  // namespace tintwell::test
