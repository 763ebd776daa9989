// The main window driven as a user would: start-up from the settings, the
// options, the palette grid, the file list and the batch, each checked
// through what it shows; where it and tintwell-cli agree.

#include <QCloseEvent>
#include <QHelpEvent>
#include <QProcess>
#include <QStatusBar>
#include <QToolTip>

#include "support/GuiKit.h"
#include "ui/main/modPathEllipsis.h"
#include "ui/preview/frmView.h"
#include "workspace/TextCase.h"

namespace tintwell::test {
namespace {

using MainWindow = MainWindowFixture;

TEST_F(MainWindow, StartsFromTheDefaultsThenFromWhatTheSettingsHold) {
    Diagonal("b.BMP");
    Diagonal("a.bmp", 30, 20);
    Diagonal("C.Bmp");
    Start();
    EXPECT_EQ(main->FolderTag(), folder.path().string());
    EXPECT_EQ(Listed(), "*a.bmp b.BMP C.Bmp");
    ASSERT_TRUE(main->LoadedView() && main->LoadedView()->isVisible());
    const std::string cell0 = "0 (00h) R: 0 G: 255 B: 3";  // the palette's first colour
    EXPECT_EQ(Groups(), cell0 + "|" + cell0 + "|" + cell0);
    EXPECT_EQ(main->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(main->centralWidget()->width(), main->DesignedClientSize().width());
    EXPECT_FALSE(fs::exists(folder / "Tintwell.ini"));  // nothing written until something changes
    main->move(30, 45);
    main->resize(main->width() + 60, main->height() + 30);
    main->LoadedView()->move(200, 120);
    QCoreApplication::processEvents();
    const QRect frame = main->frameGeometry(), view = main->LoadedView()->frameGeometry();
    Close();
    const std::string left = "Left=" + std::to_string(frame.x() * 15);
    EXPECT_TRUE(IniHas(left) && IniHas("Top=" + std::to_string(frame.y() * 15)));
    EXPECT_TRUE(IniHas("WindowState=0"));
    EXPECT_EQ(Ini().find("Preview=0"), std::string::npos);  // closing with the program keeps it

    Start(
        "[General]\r\nBackupBMPs=5\r\nPreview=0\r\nRecolorOutside=0\r\nFolder=/no/such\r\n"
        "[Recolor]\r\n3=7\r\n4=300\r\n" +
        Ini());
    EXPECT_EQ(main->frameGeometry(), frame);
    EXPECT_EQ(Ticks(), "010");
    EXPECT_TRUE(main->LoadedView() == nullptr || !main->LoadedView()->isVisible());
    EXPECT_EQ(main->FolderTag(), folder.path().string());  // the stored folder is gone
    EXPECT_EQ(std::to_string(app->Map()[3]) + std::to_string(app->Map()[4]), "74");
    EXPECT_FALSE(app->Map().ColorMapChanged());
    main->mnuOptionsShowPreview->trigger();
    EXPECT_EQ(main->LoadedView()->frameGeometry().topLeft(), view.topLeft());
    main->showMaximized();
    QCoreApplication::processEvents();
    Close();
    EXPECT_TRUE(IniHas("WindowState=2") && IniHas(left));  // the normal rectangle stays
    Start();
    EXPECT_TRUE(main->isMaximized());
}

TEST_F(MainWindow, OptionsAreStoredAtOnceAndTheirEffectShows) {
    Diagonal("a.bmp", 20, 20);
    Start();
    frmView* view = main->LoadedView();
    main->lblColor_MouseDown(4, 1, 0, 0, 0);
    main->lblColor_MouseDown(9, 2, 0, 0, 0);
    view->vsbZoom()->setValue(3);
    view->MoveSelection(0, 0, 3, 3);  // pixel (2, 2) holds 4, inside; (4, 0) outside
    const auto shown = [&] {
        view->DoPreview();
        const PictureBox* p = view->img(1);
        return std::to_string(qRed(p->ColorAt(2, 2))) + " " +
               std::to_string(qRed(p->ColorAt(4, 0)));
    };
    EXPECT_EQ(shown(), "4 9");  // recoloured outside only
    main->mnuOptionsRecolorOutside->trigger();
    EXPECT_EQ(shown(), "9 4");
    main->mnuOptionsBackupBMPs->trigger();
    main->mnuOptionsShowPreview->trigger();
    EXPECT_TRUE(IniHas("RecolorOutside=0") && IniHas("BackupBMPs=0") && IniHas("Preview=0"));
    EXPECT_FALSE(view->isVisible());
    main->mnuOptionsShowPreview->trigger();
    main->mnuOptionsBackupBMPs->trigger();
    EXPECT_TRUE(IniHas("Preview=-1") && IniHas("BackupBMPs=-1"));
    EXPECT_EQ(main->LoadedView(), view);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->ZoomValue(), 3);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{0, 0, 3, 3}));
    view->move(150, 160);
    QCloseEvent request;  // closed, it unticks the option without storing it
    QApplication::sendEvent(view, &request);
    EXPECT_TRUE(request.isAccepted());  // never refused, so the program can quit
    FlushDeletes();
    EXPECT_FALSE(main->mnuOptionsShowPreview->isChecked() || main->LoadedView());
    EXPECT_TRUE(IniHas("Preview=-1"));
    main->mnuOptionsShowPreview->trigger();  // reopened where it was, at the zoom it had
    view = main->LoadedView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->SelectionInPixels(), (SelectionRect{0, 0, 1, 1}));
    EXPECT_EQ(view->ZoomValue(), 3);
    EXPECT_EQ(view->frameGeometry().topLeft(), QPoint(150, 160));
    EXPECT_EQ(view->windowTitle(), "20 x 20");
    main->Form_Unload();  // while closing, a toggle changes neither tick nor setting
    const std::string before = Ini(), ticks = Ticks();
    main->mnuOptionsRecolorOutside->trigger();
    main->mnuOptionsShowPreview->trigger();
    EXPECT_EQ(Ticks(), ticks);
    EXPECT_EQ(Ini(), before);
}

TEST_F(MainWindow, PaletteGridSelectsMapsAndShowsColoursInItsThreeGroups) {
    Diagonal("a.bmp", 32, 20);
    WriteFile(folder / "four.bmp", Bmp().Bits(4).Build());
    WriteFile(folder / "rle.bmp", Bmp().Set32(kCompression, 3).Build());
    Start();
    PaletteGrid* grid = main->lblColor;
    auto at = [&](int i) { return grid->CellRect(i).center() - grid->pos(); };
    auto frame = [&](int i) { return grid->CellRect(i).adjusted(-1, -1, 1, 1); };
    EXPECT_EQ(grid->CellRect(0), QRect(128, 32, 17, 17));
    EXPECT_EQ(grid->CellRect(255), QRect(128 + 15 * 17, 32 + 15 * 17, 17, 17));
    QHelpEvent tip(QEvent::ToolTip, at(0), grid->mapToGlobal(at(0)));
    QApplication::sendEvent(grid, &tip);
    EXPECT_EQ(QToolTip::text(), "0");  // the first cell has its tooltip too
    const std::string c0 = "0 (00h) R: 0 G: 255 B: 3", c17 = "17 (11h) R: 17 G: 238 B: 122",
                      c200 = "200 (C8h) R: 200 G: 55 B: 123", c255 = "255 (FFh) R: 255 G: 0 B: 252";
    Click(grid, at(17));
    EXPECT_EQ(Groups(), c17 + "|" + c0 + "|" + c17);  // the pointer has not moved yet
    EXPECT_EQ(grid->FrameRect(PaletteGrid::shpOld), frame(17));
    const int renders = main->LoadedView()->RenderCount();
    Click(grid, at(200), Qt::RightButton);
    EXPECT_EQ(app->Map()[17], 200);
    EXPECT_EQ(Groups(), c17 + "|" + c0 + "|" + c200);
    EXPECT_EQ(main->LoadedView()->RenderCount(), renders + 1);
    Move(grid, at(17));  // hovering shows what a colour becomes
    EXPECT_EQ(Groups(), c17 + "|" + c17 + "|" + c200);
    EXPECT_EQ(grid->FrameRect(PaletteGrid::shpSel), frame(17));
    EXPECT_EQ(grid->FrameRect(PaletteGrid::shpNew), frame(200));
    Press(grid, at(20));
    Move(grid, at(90), Qt::LeftButton);  // moves with a button held stay with the pressed cell
    EXPECT_EQ(main->lblColorNum[1]->text(), "20 (14h)");
    Release(grid, at(90));
    Move(grid, at(255));
    main->lblColor_MouseMove(256, 0, 0, 0, 0);  // no such cell: ignored
    main->lblColor_MouseDown(256, 1, 0, 0, 0);
    EXPECT_EQ(Groups(), "20 (14h) R: 20 G: 235 B: 143|" + c255 + "|" + c255);
    Click(grid, at(20), Qt::RightButton);
    Click(grid, at(20), Qt::RightButton);   // on itself: back to its own index
    Click(grid, at(40), Qt::MiddleButton);  // changes nothing
    EXPECT_EQ(std::to_string(app->Map()[20]) + " " + std::to_string(main->SelectedColor()),
              "20 20");
    Click(grid, at(0));
    EXPECT_EQ(Groups().substr(0, c0.size()), c0);
    EXPECT_FALSE(main->LoadPalette((folder / "four.bmp").string()));
    EXPECT_FALSE(main->LoadPalette((folder / "rle.bmp").string()));   // fails to load: as not 8-bit
    EXPECT_FALSE(main->LoadPalette((folder / "gone.bmp").string()));  // quietly
    EXPECT_FALSE(main->LoadPalette(folder.path().string()));
    // The text names no file: the title does.
    ASSERT_EQ(messages.Titles(), "four.bmp - BMP is not 8-bit;rle.bmp - BMP is not 8-bit;");
    EXPECT_EQ(messages.shown[0].text, "Cannot load palette. BMP is not 8 bit (256 colors).");
    EXPECT_EQ(grid->BackColor(5), Bmp::PaletteColor(5));
    // A PNG's PLTE, black behind it; its transparent entries (tRNS) are marked.
    ASSERT_TRUE(main->LoadPalette(TINTWELL_PNG_FIXTURES "/depth2-trns.png"));
    std::string cells;
    for (int i : {0, 1, 2, 4})
        cells += std::to_string(grid->BackColor(i)) + "/" + std::to_string(grid->Alpha(i)) + " ";
    EXPECT_EQ(cells, "16715008/0 16279589/128 15844170/255 0/255 ");
    EXPECT_FALSE(main->LoadPalette(TINTWELL_PNG_FIXTURES "/refused-grey.png"));
    EXPECT_EQ(messages.shown.back().text,
              "Cannot load palette: it holds greyscale pixels, not palette indices.");
}

// Cell colours, the checkerboard of a transparent entry to its last pixel, marks of
// 4 pixels a side or more, frames 2 pixels wide inside, the focus ring; at two DPIs.
TEST(PaletteGrid, PaintsCellsTransparentHalvesMarksAndFrames) {
    TestApp();
    for (const double twips : {15.0, 30.0}) {
        QWidget window;
        PaletteGrid grid(ScreenUnits(twips, twips), &window);
        const ColorMap map = MapOf({{5, 6}});
        grid.SetMap(&map);
        for (int i = 0; i < 256; ++i)
            grid.SetBackColor(i, 0x604020);  // dark: the mark is white
        grid.SetAlpha(2, 0);
        for (int f = 0; f < 3; ++f)
            grid.MoveFrame(PaletteGrid::Frame(f), grid.CellRect(7 + 2 * f).adjusted(-1, -1, 1, 1));
        window.show();
        QApplication::setActiveWindow(&window);
        grid.setFocus();  // on cell 0
        const QImage shot = grid.grab().toImage();
        // Pixel (x, y) of cell i, counted from its right or bottom edge when negative.
        const auto at = [&](int i, int x, int y) {
            const QRect r = grid.CellRect(i).translated(-grid.pos());
            return QColor(shot.pixel(x < 0 ? r.right() + 1 + x : r.left() + x,
                                     y < 0 ? r.bottom() + 1 + y : r.top() + y));
        };
        const QColor cell(0x20, 0x40, 0x60), white(Qt::white),
            checker(grid.CellRect(2).width() > 10 ? Qt::lightGray : Qt::white);  // the last square
        const std::tuple<int, int, int, QColor> probes[] = {
            {0, -1, -1, cell},   {2, 0, 0, cell},      {2, -1, -1, checker}, {5, -1, 0, white},
            {5, 0, 0, cell},     {7, 0, 5, Qt::black}, {7, 1, 5, cell},      {7, -1, 5, Qt::black},
            {7, -2, 5, cell},    {8, 1, 5, cell},      {9, 5, 0, Qt::red},   {9, 5, 1, cell},
            {9, 5, -1, Qt::red}, {9, 5, -2, cell},     {11, 0, 0, Qt::blue}, {11, 1, 1, cell}};
        for (const auto& [i, x, y, expected] : probes)
            EXPECT_EQ(at(i, x, y).name(), expected.name())
                << twips << " cell " << i << " at " << x << "," << y;
        const auto count = [&](int i, const QColor& c, bool same) {
            int n = 0;
            for (int y = 0; y < grid.CellRect(i).height(); ++y)
                for (int x = 0; x < grid.CellRect(i).width(); ++x)
                    n += (at(i, x, y) == c) == same;
            return n;
        };
        // The mark: a triangle of side 6 (4 on the coarse screen); the ring: 15 x 15 (6 x 6).
        EXPECT_EQ(count(5, white, true), twips == 15 ? 15 : 6) << twips;
        EXPECT_EQ(count(0, cell, false), twips == 15 ? 56 : 20) << twips;
    }
}

// Regression: after another palette loaded, "Selected" kept the previous
// palette's colour, and a file that cannot be shown left the previous image.
TEST_F(MainWindow, ListsRefreshesAndShowsTheCurrentFileAndTheFolderShortenedInTheMiddle) {
    for (const char* name : {"a.bmp", "c.bmp"})
        Diagonal(name, 10, 10);
    WriteFile(folder / "b.bmp", Bmp().ClrUsed(16).Build());  // entries from 16 on are black
    WriteFile(folder / "deep.bmp", Bmp().Bits(24).Build());
    Start();
    main->lblColor_MouseDown(20, 1, 0, 0, 0);
    main->DoHover(21);
    main->File->setCurrentRow(1);
    EXPECT_EQ(Groups(), "20 (14h) R: 0 G: 0 B: 0|21 (15h) R: 0 G: 0 B: 0|21 (15h) R: 0 G: 0 B: 0");
    Click(main->File->viewport(), main->File->visualItemRect(main->File->item(3)).center());
    EXPECT_EQ(Listed(), "a.bmp b.bmp c.bmp *deep.bmp");
    EXPECT_EQ(messages.Titles(), "deep.bmp - BMP is not 8-bit;");
    frmView* view = main->LoadedView();  // shows no image for it
    EXPECT_EQ(view->windowTitle(), "0 x 0");
    EXPECT_TRUE(!view->PreviewBitmap() && !view->img(0)->HasPicture() &&
                !view->img(1)->HasPicture());
    main->File->setCurrentRow(2);
    Diagonal("0-new.bmp");
    main->cmdRefreshFiles->click();
    EXPECT_EQ(Listed(), "0-new.bmp a.bmp b.bmp *c.bmp deep.bmp");
    fs::remove(folder / "c.bmp");
    main->cmdRefreshFiles->click();
    EXPECT_EQ(Listed(), "*0-new.bmp a.bmp b.bmp deep.bmp");
    const std::string path =
        "/home/someone/pictures/holidays/two thousand and twenty six/summer at the lake/tiles";
    main->SetFolderLabel(main->lblFolder, path);
    const QString shown = main->lblFolder->text();
    EXPECT_TRUE(shown.startsWith("/home") && shown.contains("...") && shown.endsWith("/tiles"))
        << shown.toStdString();
    EXPECT_EQ(main->lblFolder->toolTip().toStdString(), path);
    main->resize(main->width() + 300, main->height());
    QCoreApplication::processEvents();
    EXPECT_GT(main->lblFolder->text().size(), shown.size());
    EXPECT_EQ(main->FolderTag(), path);
    const QFontMetrics fm(QApplication::font());
    EXPECT_EQ(PathEllipsis("/a/b/last-part", fm, 100000), "/a/b/last-part");
    EXPECT_EQ(PathEllipsis("/aaaa/bbbbbbbbbbbb/last-part", fm, 5), ".../last-part");
}

TEST_F(MainWindow, RecolorsTheSelectedFilesGoingOnAfterEachRefusal) {
    Diagonal("a.bmp", 8, 8);
    WriteFile(folder / "b.bmp", Bmp().Bits(24).Build());
    WriteFile(folder / "c.bmp", Bmp().Size(9, 7).Cut(1100).Build());
    Diagonal("d.bmp", 8, 8);
    Diagonal("e.bmp", 8, 8);
    Start();
    app->Map().SetMapping(0, 100);
    app->Map().SetMapping(4, 104);
    main->LoadedView()->MoveSelection(0, 0, 3, 3);  // outside it, by default
    fs::remove(folder / "e.bmp");                   // gone between listing and recolouring
    main->File->selectAll();
    main->cmdRecolor->click();
    EXPECT_EQ(messages.Titles(), "BMP is not 8-bit;BMP is incomplete;Not Found;;");
    EXPECT_EQ(progress.log, "begin 5;a.bmp;b.bmp;c.bmp;d.bmp;e.bmp;end;");
    const auto status = [&] { return main->statusBar()->currentMessage().toStdString(); };
    EXPECT_EQ(status(), "2 of 5 recolored, 3 refused");
    const auto pixels = [&](const char* name) {  // inside the selection, then outside
        return std::to_string(PixelOnDisk(folder / name, 0, 0)) + " " +
               std::to_string(PixelOnDisk(folder / name, 4, 0));
    };
    EXPECT_EQ(pixels("a.bmp") + " " + pixels("d.bmp"), "0 104 0 104");
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
        EXPECT_TRUE(fs::exists(folder / "Tintwell Backup" / name)) << name;
    EXPECT_EQ(main->focusWidget(), main->File);
    // The preview shows the file as it now is.
    EXPECT_EQ(main->LoadedView()->img(0)->ColorAt(4, 0) & 0xFFFFFF, 0x6897DBu);

    main->mnuOptionsBackupBMPs->trigger();
    app->Map().SetMapping(104, 4);
    messages.shown.clear();
    progress = {};
    progress.stopBefore = 1;
    main->File->selectAll();
    main->cmdRecolor->click();  // Cancel before the second file: no completion message
    EXPECT_EQ(progress.log, "begin 5;a.bmp;end;");
    EXPECT_EQ(status(), "1 of 5 done, cancelled");
    EXPECT_EQ(pixels("a.bmp") + " " + pixels("d.bmp"), "0 4 0 104");
    EXPECT_TRUE(messages.shown.empty());
    frmView* view = main->LoadedView();
    main->File->clearSelection();
    main->File->item(3)->setSelected(true);
    progress.stopBefore = -1;
    Key(view->vsbZoom(), Qt::Key_F5, Qt::ShiftModifier);  // only a plain F5 recolours
    EXPECT_EQ(pixels("d.bmp"), "0 104");
    Key(view, Qt::Key_F5);
    EXPECT_EQ(pixels("d.bmp"), "0 4");
    EXPECT_TRUE(messages.shown.empty());  // one file: no completion message
    EXPECT_EQ(status(), "1 of 1 recolored");
}

using Parity = MainWindowFixture;

// Regression: with a relative XDG_CONFIG_HOME the window wrote ~/relcfg/Tintwell
// while the command line named ~/.config/Tintwell.
TEST_F(Parity, BothProgramsOfAnInstallUseOneSettingsFile) {
    const fs::path program = folder / "lib" / "tintwell";
    fs::create_directories(program);
    fs::copy_file(TINTWELL_CLI_PATH, program / "tintwell-cli");
    const std::string home = (folder / "home").string();
    const QByteArray oldHome = qgetenv("HOME"), oldXdg = qgetenv("XDG_CONFIG_HOME"),
                     oldData = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", home.c_str());
    qputenv("XDG_DATA_HOME", (home + "/data").c_str());
    qputenv("XDG_CONFIG_HOME", "relcfg");  // the other values: SettingsLocation's own test
    const std::string window =
        (fs::path(AppInfo::ForProgramIn(program.string()).SettingsFolder()) / "Tintwell.ini")
            .string();
    EXPECT_EQ(window, home + "/.config/Tintwell/Tintwell.ini");
    QProcess cli;
    cli.start(QString::fromStdString((program / "tintwell-cli").string()),
              {"info", "--settings-path"});
    EXPECT_TRUE(cli.waitForFinished());
    EXPECT_EQ(cli.readAllStandardOutput().toStdString(), window + "\n");
    qputenv("HOME", oldHome);
    oldXdg.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldXdg);
    oldData.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", oldData);
}

// The window's Save compared names with QString::toUpper: the shared rule
// gives the same upper case for every code point.
TEST(TextCase, UpperCaseIsQtsForEveryCodePoint) {
    std::string differing;
    for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const QString text = QString::fromUcs4(&cp, 1);
        const QByteArray utf8 = text.toUtf8();
        if (UpperCase(utf8.toStdString()) != text.toUpper().toUtf8().toStdString())
            differing += QString::number(cp, 16).toStdString() + " ";
    }
    EXPECT_EQ(differing, "");
}

}  // namespace
}  // namespace tintwell::test
