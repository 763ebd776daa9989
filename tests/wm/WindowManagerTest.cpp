// The windows under a real window manager (openbox on Xvfb, Qt's xcb platform):
// frames, placement, stacking and modality as a user meets them. Input goes
// through the window system (QTest on QWindow), xdotool reaches the frames.
// The window manager works at its own pace, so each check waits for the state
// it expects; a wait that runs out fails the test with what was seen instead,
// and a modal window is closed so that the test ends.
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <utility>

#include "settings/WindowPlacement.h"
#include "shell/clsHelpViewer.h"
#include "support/GuiKit.h"
#include "ui/toolkit/QtBatchProgress.h"
#include "ui/toolkit/QtMessageBox.h"
#include "ui/toolkit/QtPlacementWindow.h"
#include "ui/toolkit/QtTextPrompt.h"

namespace tintwell::test {
namespace {

// Waits for a condition for at most 15 s.
bool WaitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 15000);
}

QSize Frame(const QWidget* w) {
    return w->frameGeometry().size() - w->geometry().size();
}

QtPlacementWindow* Placement(QWidget* w) {
    return w ? w->findChild<QtPlacementWindow*>({}, Qt::FindDirectChildrenOnly) : nullptr;
}

// Framed by the window manager, at the size the program settled on.
bool Settled(QWidget* w) {
    return w->isVisible() && !Frame(w).isNull() && Placement(w) && Placement(w)->Settled();
}

// The sections "[Main]" and "[Preview]" of a settings text.
std::string Placements(std::string ini) {
    ini += "\r\n";
    std::string text;
    for (const std::string header : {"[Main]\r\n", "[Preview]\r\n"})
        if (const auto at = ini.find(header); at != std::string::npos)
            text += ini.substr(at, ini.find("\r\n\r\n", at) - at);
    return text;
}

void XDoTool(const QStringList& arguments) {
    ASSERT_EQ(QProcess::execute("xdotool", arguments), 0) << arguments.join(' ').toStdString();
}

// Clicks through the window system at `at` (global), with the mouse button `button`.
void ClickAt(QPoint at, int button = 1) {
    XDoTool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click",
             QString::number(button)});
}

// Clicks the close box at the right end of a window's title bar.
void ClickCloseBox(QWidget* w) {
    const QRect f = w->frameGeometry();
    const int title = w->geometry().top() - f.top();
    ClickAt(QPoint(f.right() - title / 2, f.top() + title / 2));
}

// Answers modal windows through `act` as a user would: message boxes wherever
// they stand, or with `anyModal` the active modal window, once shown. It polls
// from a timer, never waiting inside one; a window still open after 10 s is
// counted and closed from here, so that exec() returns and the test ends.
class ModalAnswerer : public QObject {
  public:
    ModalAnswerer(bool anyModal, std::function<void(QWidget*)> act)
        : anyModal_(anyModal), act_(std::move(act)) {
        connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start(50);
    }
    QStringList texts;  // of the message boxes met
    int blocked = 0;

  private:
    QWidget* Target() const {
        if (anyModal_) return QApplication::activeModalWidget();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w) && w->isVisible()) return w;
        return nullptr;
    }
    void Poll() {
        QWidget* w = Target();
        if (w != current_) {
            current_ = w, tries_ = 0;
            if (auto* box = qobject_cast<QMessageBox*>(w)) texts << box->text();
        }
        if (!w) return;
        if (++tries_ > 200) {
            ++blocked;
            qobject_cast<QDialog*>(w)->done(QDialog::Rejected);
        } else if (w->windowHandle()->isExposed()) {
            act_(w);
        }
    }
    bool anyModal_;
    std::function<void(QWidget*)> act_;
    QTimer timer_;
    QWidget* current_ = nullptr;
    int tries_ = 0;
};

class WindowManager : public MainWindowFixture {
  protected:
    frmView* View() const { return main->LoadedView(); }
    bool BothSettled() const {
        return Settled(main.get()) && (!View() || !View()->isVisible() || Settled(View()));
    }
    void StartSettled(const std::string& ini = {}) {
        Start(ini);
        ASSERT_TRUE(WaitFor([&] { return BothSettled(); })) << "the windows did not settle";
    }
    // The placements the windows would store now.
    std::string LivePlacements() const {
        RecordingMessageBox box;
        clsINI ini(box);
        ini.LoadINIFromString("");
        SaveWindowPlacement(ini, *Placement(main.get()), "Main");
        if (View()) SaveWindowPlacement(ini, *Placement(View()), "Preview");
        return Placements(ini.ToText());
    }
    // Clicks the preview's close box until the preview has gone (a click
    // made while the window manager is still placing it can miss).
    bool ClosePreviewWithItsCloseBox() {
        for (int attempt = 0; attempt < 5 && View(); ++attempt) {
            ClickCloseBox(View());
            (void)QTest::qWaitFor([&] { return View() == nullptr; }, 3000);
        }
        return View() == nullptr;
    }
};

// Fault: the stored outer size came back as the inner size, so the main window
// grew at every start and the first start was taller than designed.
TEST_F(WindowManager, FiveRestartsKeepEveryPlacementValue) {
    Diagonal("a.bmp", 120, 120);
    StartSettled();
    const QSize designed = main->DesignedClientSize() +
                           QSize(0, main->menuBar()->height() + main->statusBar()->height());
    const int minimumHeight = main->Units().YToPixels(5895) - Frame(main.get()).height();
    const QSize first(designed.width(), std::max(designed.height(), minimumHeight));
    ASSERT_TRUE(WaitFor([&] { return main->geometry().size() == first; }))
        << main->width() << " x " << main->height();
    const int low = main->screen()->availableGeometry().bottom() - 100;  // the title bar shows
    main->move(main->x(), low);
    ASSERT_TRUE(WaitFor([&] { return main->frameGeometry().top() == low; }));
    Close();
    const std::string stored = Placements(Ini());
    for (int start = 2; start <= 5; ++start) {
        StartSettled();
        ASSERT_TRUE(WaitFor([&] { return LivePlacements() == stored; }))
            << "start " << start << ": " << LivePlacements() << " instead of " << stored;
        Close();
        EXPECT_EQ(Placements(Ini()), stored) << "after start " << start;
    }
}

// Fault: an image-less preview grew by its title bar each time it was reopened.
TEST_F(WindowManager, ReopenedEmptyPreviewKeepsItsSize) {
    StartSettled();
    ASSERT_TRUE(WaitFor([&] { return View()->size() == View()->minimumSize(); }));
    const QSize first = View()->frameGeometry().size();
    for (int reopen = 1; reopen <= 3; ++reopen) {
        ASSERT_TRUE(ClosePreviewWithItsCloseBox()) << "reopened " << reopen << " times";
        main->mnuOptionsShowPreview->trigger();
        EXPECT_TRUE(WaitFor([&] {
            return BothSettled() && View()->frameGeometry().size() == first;
        })) << "reopened "
            << reopen << " times: " << View()->frameGeometry().height();
    }
}

// Fault: a preview reopened after it was closed at the top edge, or sized to a
// huge image, had its title bar above the screen.
TEST_F(WindowManager, PreviewTitleBarStaysOnTheScreen) {
    Diagonal("a.bmp", 120, 120);
    StartSettled("[General]\r\nZoom=2\r\n");
    for (const QSize image : {QSize(64, 48), QSize(4000, 3000)}) {
        TempDir other;
        WriteFile(other / "b.bmp", Bmp().Size(image.width(), image.height()).Build());
        View()->move(View()->x(), 0);
        ASSERT_TRUE(WaitFor([&] { return View()->frameGeometry().top() == 0; }));
        ASSERT_TRUE(ClosePreviewWithItsCloseBox());
        main->SetFileListFolder(other.path().string());
        main->mnuOptionsShowPreview->trigger();
        const auto onScreen = [&] {
            const QRect area = View()->screen()->availableGeometry(), f = View()->frameGeometry();
            return BothSettled() && area.contains(f.topLeft()) &&
                   area.contains(QPoint(f.right(), View()->geometry().top()));
        };
        EXPECT_TRUE(WaitFor(onScreen))
            << image.width() << ": title bar from " << View()->frameGeometry().top();
    }
    Close();
    EXPECT_EQ(Ini().find("Top=-"), std::string::npos);
}

// Fault: one failing file gave two messages, from the batch and from the refresh
// after it, or from the two refreshes at the start.
TEST_F(WindowManager, OneFailingFileGivesOneMessage) {
    for (const Bmp& file : {Bmp().Size(8, 8).Cut(1100), Bmp().Bits(24)}) {
        TempDir other;
        WriteFile(other / "a.bmp", file.Build());
        messages.shown.clear();
        StartSettled("[General]\r\nFolder=" + other.path().string() + "\r\n");
        EXPECT_EQ(messages.shown.size(), 1u) << file.BitCount() << " bits, at the start";
        main->File->item(0)->setSelected(true);
        messages.shown.clear();
        main->cmdRecolor->click();
        EXPECT_EQ(messages.shown.size(), 1u) << file.BitCount() << " bits";
        Close();
    }
}

// About and the name prompt open centred over the main window, on top of it,
// and close with Esc typed through the window system; so does the help window.
TEST_F(WindowManager, DialogsOpenCentredOverTheirOwnerAndCloseWithEsc) {
    WriteFile(folder / "Tintwell.html", "<a name=\"1000\"></a>Contents");
    StartSettled();
    QtTextPrompt namePrompt(main.get());
    const std::function<void()> opens[] = {[&] { main->mnuHelpAbout_Click(); },
                                           [&] {
                                               namePrompt.Ask({"Name?", "Save Color Map", ""});
                                           }};
    // Measured once the window manager has placed the dialog (the same place at
    // two polls), by the inner rectangles: both windows wear the same frame.
    QPoint offset;
    QRect placed;
    ModalAnswerer escape(true, [&](QWidget* dialog) {
        if (std::exchange(placed, dialog->geometry()) != dialog->geometry()) return;
        offset = dialog->geometry().center() - main->geometry().center();
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
    });
    for (const auto& open : opens) {
        offset = QPoint(999, 999), placed = QRect();
        open();
        EXPECT_LE(offset.manhattanLength(), 16) << offset.x() << ", " << offset.y();
    }
    EXPECT_EQ(escape.blocked, 0);
    main->mnuHelpContents_Click();
    QWidget* help = clsHelpViewer::For(main.get());
    ASSERT_TRUE(WaitFor([&] { return help->windowHandle() && help->windowHandle()->isExposed(); }));
    QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return !help->isVisible(); })) << "Esc left the help open";
}

// Fault: the progress dialog came up over a batch's message box and took its
// input, so the batch could only be cancelled and the good file was skipped.
TEST_F(WindowManager, MessageDuringABatchIsAnsweredAndTheBatchGoesOn) {
    WriteFile(folder / "a.bmp", Bmp().Bits(24).Build());
    Diagonal("b.bmp", 8, 8);
    WriteIni("[General]\r\nBackupBMPs=0\r\n");
    const std::string before = ReadFile(folder / "b.bmp");
    QtMessageBox box;
    QtBatchProgress progressDialog(nullptr, 0);  // shown from the first file on
    app = std::make_unique<Application>(AppInfo(folder.path().string()), box, prompt);
    main = std::make_unique<frm>(*app, &progressDialog);
    box.SetOwner(main.get());
    progressDialog.SetOwner(main.get());
    ModalAnswerer answerer(false, [](QWidget* w) {  // also answers the start's message about a.bmp
        QTest::keyClick(w->windowHandle(), Qt::Key_Return);
    });
    main->Form_Load();
    main->show();
    ASSERT_TRUE(WaitFor([&] { return BothSettled(); }));
    app->Map().SetMapping(3, 200);
    main->File->selectAll();
    answerer.texts.clear();
    main->cmdRecolor->click();
    EXPECT_EQ(answerer.blocked, 0);
    EXPECT_EQ(
        answerer.texts.join('|').toStdString(),
        "\"" + (folder / "a.bmp").string() + "\" is not a 256 color BMP|Recoloration complete");
    EXPECT_NE(ReadFile(folder / "b.bmp"), before);
    Close();
}

// A point of the zoom control: `quarter` quarters down from its top.
QPoint ZoomControlAt(QWidget* zoom, int quarter) {
    return zoom->mapToGlobal(QPoint(zoom->width() / 2, zoom->height() * quarter / 4));
}

// Clicks the zoom control `quarter` quarters down from its top once the
// pointer is over it (the window's place as Qt knows it can lag behind).
void ClickZoomControl(QWidget* zoom, int quarter, int button = 1) {
    for (int attempt = 0; attempt < 10 && !zoom->underMouse(); ++attempt) {
        const QPoint at = ZoomControlAt(zoom, quarter);
        XDoTool({"mousemove", QString::number(at.x()), QString::number(at.y())});
        (void)QTest::qWaitFor([&] { return zoom->underMouse(); }, 1000);
    }
    ClickAt(ZoomControlAt(zoom, quarter), button);
}

// Fault: under the real style the zoom control ran backwards: the upper arrow,
// Up and the wheel turned away zoomed out. Fault: zooming in pushed the preview
// left (x 500 to 247), so a second click at the same spot picked a colour.
TEST_F(WindowManager, TheUpperArrowUpAndTheWheelTurnedAwayZoomInGrowingRightAndDown) {
    Diagonal("a.bmp", 320, 200);
    StartSettled();
    View()->move(500, 200);
    // The preview in front with the focus before the first click, so that no click is lost.
    View()->activateWindow();
    ASSERT_TRUE(WaitFor([&] {
        return View()->isActiveWindow() && View()->frameGeometry().topLeft() == QPoint(500, 200);
    }));
    QWidget* zoom = View()->vsbZoom();
    zoom->setFocus();
    const QPoint upper = ZoomControlAt(zoom, 1);
    const std::function<void()> steps[] = {
        [&] { ClickZoomControl(zoom, 1); },
        [&] { ClickAt(upper); },  // the same spot again
        [&] { ClickZoomControl(zoom, 3); },
        [&] { QTest::keyClick(View()->windowHandle(), Qt::Key_Down); },
        [&] { QTest::keyClick(View()->windowHandle(), Qt::Key_Up); },
        [&] { ClickZoomControl(zoom, 2, 5); },
        [&] { ClickZoomControl(zoom, 2, 4); }};
    const int zooms[] = {2, 3, 2, 1, 2, 1, 2};
    for (int step = 0; step < 7; ++step) {
        steps[step]();
        EXPECT_TRUE(WaitFor([&] { return View()->ZoomValue() == zooms[step] && BothSettled(); }))
            << "step " << step << ": zoom " << View()->ZoomValue() << ", selected colour "
            << main->SelectedColor();
    }
    const QRect frame = View()->frameGeometry();
    EXPECT_EQ(frame.topLeft(), QPoint(500, 200)) << frame.x() << ", " << frame.y();
    EXPECT_TRUE(View()->screen()->availableGeometry().contains(frame))
        << frame.right() << ", " << frame.bottom();
}

// Fault: after a restart the preview opened at its stored place behind the
// main window. It opens beside the main window, and stays above it, also when
// that is clicked or one of its menus is opened from the preview.
TEST_F(WindowManager, ThePreviewStaysAboveTheMainWindow) {
    WriteFile(folder / "a.bmp", Bmp().Size(60, 40).Pixels([](int, int) { return 7; }).Build());
    StartSettled();
    EXPECT_GT(View()->frameGeometry().left(), main->frameGeometry().right())
        << "first start: the preview opens beside the main window, not over it";
    View()->move(main->frameGeometry().topLeft() + QPoint(40, 60));  // over the main window
    ASSERT_TRUE(WaitFor([&] { return BothSettled(); }));
    Close();
    StartSettled();
    const auto previewShows = [&] {
        const QPoint centre = View()->img(0)->mapToGlobal(View()->img(0)->rect().center());
        const QImage shot = View()->screen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage();
        return main->geometry().contains(centre) && shot.pixel(0, 0) == qRgb(7, 248, 52);
    };
    EXPECT_TRUE(WaitFor(previewShows)) << "after the restart";
    const QRect f = main->frameGeometry();
    ClickAt(QPoint(f.center().x(), main->geometry().top() - 8));  // the main window's title bar
    ASSERT_TRUE(WaitFor([&] { return main->isActiveWindow(); }));
    QTest::qWait(300);  // the window manager restacks
    EXPECT_TRUE(WaitFor(previewShows)) << "after a click on the main window";
    View()->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return View()->isActiveWindow(); }));
    XDoTool({"key", "alt+o"});  // the menu opens over both
    ASSERT_TRUE(WaitFor([&] { return main->mnuOptions->isVisible(); }));
    QTest::qWait(300);
    EXPECT_TRUE(WaitFor(previewShows)) << "with a menu opened from the preview";
    main->mnuOptions->close();
}

}  // namespace
}  // namespace tintwell::test
