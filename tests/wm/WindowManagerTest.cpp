// The windows under a real window manager (openbox on Xvfb, Qt's xcb platform):
// frames, placement, stacking and modality as a user meets them. Input goes
// through the window system (QTest on QWindow), xdotool reaches the frames.
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>

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

// Framed by the window manager, with the size and place it settles on.
bool Settled(QWidget* w) {
    auto* placement = w->findChild<QtPlacementWindow*>({}, Qt::FindDirectChildrenOnly);
    return w->isVisible() && !Frame(w).isNull() && placement != nullptr && placement->Settled();
}

void XDoTool(const QStringList& arguments) {
    ASSERT_EQ(QProcess::execute("xdotool", arguments), 0) << arguments.join(' ').toStdString();
}

// Clicks the close box at the right end of a window's title bar.
void ClickCloseBox(QWidget* w) {
    const QRect f = w->frameGeometry();
    const int title = w->geometry().top() - f.top();
    XDoTool({"mousemove", QString::number(f.right() - title / 2),
             QString::number(f.top() + title / 2), "click", "1"});
}

class WindowManager : public MainWindowFixture {
  protected:
    frmView* View() const { return main->LoadedView(); }
    bool BothSettled() const {
        return Settled(main.get()) &&
               (View() == nullptr || !View()->isVisible() || Settled(View()));
    }
    // Clicks the preview's close box until the preview has gone (a click
    // made while the window manager is still placing it can miss).
    bool ClosePreviewWithItsCloseBox() {
        for (int attempt = 0; attempt < 5 && View() != nullptr; ++attempt) {
            ClickCloseBox(View());
            QTest::qWaitFor([&] { return View() == nullptr; }, 3000);
        }
        return View() == nullptr;
    }
    void StartSettled() {
        Start();
        ASSERT_TRUE(WaitFor([&] { return BothSettled(); }));
    }
    // The stored placements, sections "Main" and "Preview".
    std::string Placements() const {
        std::string text;
        for (const std::string header : {"[Main]\r\n", "[Preview]\r\n"}) {
            const std::string ini = Ini();
            const auto at = ini.find(header);
            if (at != std::string::npos) text += ini.substr(at, ini.find("\r\n\r\n", at) - at);
        }
        return text;
    }
};

// Fault: the stored outer size came back as the inner size, so the main window
// grew at every start and the first start was taller than designed.
TEST_F(WindowManager, FiveRestartsKeepEveryPlacementValue) {
    WriteDiagonalBmp(programFolder / "a.bmp", 120, 120);
    StartSettled();
    const QSize designed = main->DesignedClientSize() + QSize(0, main->menuBar()->height());
    const int minimumHeight = main->Units().YToPixels(5895) - Frame(main.get()).height();
    EXPECT_EQ(main->geometry().size(),
              QSize(designed.width(), std::max(designed.height(), minimumHeight)));
    Close();
    const std::string first = Placements();
    for (int start = 2; start <= 5; ++start) {
        StartSettled();
        Close();
        EXPECT_EQ(Placements(), first) << "after start " << start;
    }
}

// Fault: an image-less preview grew by its title bar each time it was reopened.
TEST_F(WindowManager, ReopenedEmptyPreviewKeepsItsSize) {
    StartSettled();
    const QRect first = View()->frameGeometry();
    for (int reopen = 1; reopen <= 3; ++reopen) {
        ASSERT_TRUE(ClosePreviewWithItsCloseBox());
        main->mnuOptionsShowPreview->trigger();
        ASSERT_TRUE(WaitFor([&] { return BothSettled(); }));
        EXPECT_EQ(View()->frameGeometry(), first) << "reopened " << reopen << " times";
    }
}

// Fault: a preview reopened after it was closed at the top edge, or sized to a
// huge image, had its title bar above the screen.
TEST_F(WindowManager, PreviewTitleBarStaysOnTheScreen) {
    const struct { int width, height; } images[] = {{64, 48}, {4000, 3000}};
    WriteDiagonalBmp(programFolder / "a.bmp", 120, 120);
    WriteIni("[General]\r\nZoom=2\r\n");
    StartSettled();
    for (const auto& image : images) {
        TempFolder other;
        WriteDiagonalBmp(other / "b.bmp", image.width, image.height);
        View()->move(View()->x(), 0);
        ASSERT_TRUE(WaitFor([&] { return View()->frameGeometry().top() == 0; }));
        ASSERT_TRUE(ClosePreviewWithItsCloseBox());
        main->SetFileListFolder(other.Path().string());
        main->mnuOptionsShowPreview->trigger();
        ASSERT_TRUE(WaitFor([&] { return BothSettled(); }));
        const QRect area = View()->screen()->availableGeometry();
        const QRect frame = View()->frameGeometry();
        EXPECT_TRUE(area.contains(frame.topLeft())) << image.width;
        EXPECT_TRUE(area.contains(QPoint(frame.right(), View()->geometry().top()))) << image.width;
    }
    Close();
    EXPECT_EQ(Ini().find("Top=-"), std::string::npos);
}

// Fault: the user could resize the preview, leaving grey space around the pictures.
TEST_F(WindowManager, UserCannotResizeThePreview) {
    WriteDiagonalBmp(programFolder / "a.bmp", 50, 40);
    StartSettled();
    const QSize size = View()->size();
    const QPoint place = View()->frameGeometry().topLeft();
    const QString id = QString::number(View()->winId());
    XDoTool({"windowsize", id, "600", "500"});
    // The window manager handles requests in order: once the move is done, so is the resize.
    XDoTool({"windowmove", id, "300", "300"});
    ASSERT_TRUE(WaitFor([&] { return View()->frameGeometry().topLeft() != place; }));
    EXPECT_EQ(View()->size(), size);
}

// Fault: one failing file gave two messages, from the batch and from the refresh
// after it, or from the two refreshes at the start.
TEST_F(WindowManager, OneFailingFileGivesOneMessage) {
    WriteDiagonalBmp(programFolder / "good.bmp", 8, 8);
    const std::string good = ReadFile(programFolder.Path() / "good.bmp");
    const struct {
        const char* name;
        std::function<void(const std::string&)> write;
    } files[] = {
        {"cut.bmp", [&](const std::string& p) { WriteFile(p, good.substr(0, good.size() - 20)); }},
        {"rgb.bmp",
         [](const std::string& p) { WriteBmp(p, 4, 4, 24, [](int, int) { return 7; }); }},
    };
    for (const auto& file : files) {
        TempFolder folder;
        file.write(folder / file.name);
        messages.shown.clear();
        WriteIni("[General]\r\nFolder=" + folder.Path().string() + "\r\n");
        StartSettled();
        EXPECT_EQ(messages.shown.size(), 1u) << file.name << " at the start";
        main->File->item(0)->setSelected(true);
        messages.shown.clear();
        main->cmdRecolor->click();
        EXPECT_EQ(messages.shown.size(), 1u) << file.name;
        Close();
    }
}

// About and the name prompt open centred over the main window, on top of it,
// and close with Esc typed through the window system; so does the help window.
TEST_F(WindowManager, DialogsOpenCentredOverTheirOwnerAndCloseWithEsc) {
    WriteFile(programFolder.Path() / "Tintwell.html", "<a name=\"1000\"></a>Contents");
    StartSettled();
    QtTextPrompt namePrompt(main.get());
    const std::function<void()> opens[] = {[&] { main->mnuHelpAbout_Click(); },
                                           [&] {
                                               namePrompt.Ask({"Name?", "Save Color Map", ""});
                                           }};
    for (const auto& open : opens) {
        QPoint offset(999, 999);
        QTimer::singleShot(0, [&] {
            QWidget* dialog = nullptr;
            ASSERT_TRUE(WaitFor([&] {
                dialog = QApplication::activeModalWidget();
                return dialog != nullptr && dialog->windowHandle()->isExposed() &&
                       !Frame(dialog).isNull();
            }));
            offset = dialog->frameGeometry().center() - main->frameGeometry().center();
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
        });
        open();
        EXPECT_LE(offset.manhattanLength(), 16) << offset.x() << ", " << offset.y();
    }
    main->mnuHelpContents_Click();
    QWidget* help = clsHelpViewer::For(main.get());
    ASSERT_TRUE(WaitFor([&] { return help->windowHandle() && help->windowHandle()->isExposed(); }));
    QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return !help->isVisible(); }));
}

// Answers each message box with Enter through the window system, as a user
// would. A box the key cannot reach (another modal window blocks it) is noted
// and closed from here after 5 s, so the batch can end.
class MessageAnswerer : public QObject {
  public:
    MessageAnswerer() {
        connect(&timer_, &QTimer::timeout, this, [this] { Answer(); });
        timer_.start(50);
    }
    QStringList texts;
    int blocked = 0;

  private:
    void Answer() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr || !box->isVisible() || !box->windowHandle()->isExposed()) continue;
            if (box != current_) texts << box->text();
            current_ = box;
            if (++tries_ > 100) {
                ++blocked;
                box->done(QMessageBox::Ok);
            } else {
                QTest::keyClick(box->windowHandle(), Qt::Key_Return);
            }
            return;
        }
        current_ = nullptr;
        tries_ = 0;
    }
    QTimer timer_;
    QWidget* current_ = nullptr;
    int tries_ = 0;
};

// Fault: the progress dialog came up over a batch's message box and took its
// input, so the batch could only be cancelled and the good file was skipped.
TEST_F(WindowManager, MessageDuringABatchIsAnsweredAndTheBatchGoesOn) {
    WriteBmp(programFolder / "a.bmp", 4, 4, 24, [](int, int) { return 7; });
    WriteDiagonalBmp(programFolder / "b.bmp", 8, 8);
    WriteIni("[General]\r\nBackupBMPs=0\r\n");
    const std::string before = ReadFile(programFolder.Path() / "b.bmp");
    QtMessageBox box;
    QtBatchProgress progressDialog(nullptr, 0);  // shown from the first file on
    app = std::make_unique<Application>(AppInfo(programFolder.Path().string()), box, prompt);
    main = std::make_unique<frm>(*app, &progressDialog);
    box.SetOwner(main.get());
    progressDialog.SetOwner(main.get());
    MessageAnswerer answerer;  // also answers the start's message about a.bmp
    main->Form_Load();
    main->show();
    ASSERT_TRUE(WaitFor([&] { return BothSettled(); }));
    app->Map().SetMapping(3, 200);
    main->File->selectAll();
    answerer.texts.clear();
    main->cmdRecolor->click();
    EXPECT_EQ(answerer.blocked, 0);
    const std::string refused = "\"" + (programFolder / "a.bmp").string() + "\" is not a 256 color BMP";
    EXPECT_EQ(answerer.texts,
              QStringList({QString::fromStdString(refused), "Recoloration complete"}));
    EXPECT_NE(ReadFile(programFolder.Path() / "b.bmp"), before);
    Close();
}

}  // namespace
}  // namespace tintwell::test
