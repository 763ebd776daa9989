// The toolkit under the windows: screen units, pictures of bitmaps, the real
// message box, prompt and progress dialog.
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <random>

#include "core/modRecolor.h"
#include "support/GuiKit.h"
#include "ui/preview/PictureBox.h"
#include "ui/toolkit/QtBatchProgress.h"
#include "ui/toolkit/QtMessageBox.h"
#include "ui/toolkit/QtTextPrompt.h"
#include "ui/toolkit/ScreenUnits.h"

namespace tintwell::test {
namespace {

TEST(ScreenUnits, ConvertsTwipsRoundingHalvesToEvenAndSaturating) {
    const ScreenUnits at96, at144(10, 10), broken(0, -3);
    const std::tuple<const ScreenUnits*, double, int> cases[] = {
        {&at96, 1920, 128}, {&at144, 25, 2},     {&at144, 35, 4}, {&at144, 26, 3},
        {&at144, -25, -2},  {&at144, 5055, 506}, {&broken, 30, 2}};
    for (const auto& [units, twips, pixels] : cases) {
        EXPECT_EQ(units->XToPixels(twips), pixels) << twips;
        EXPECT_EQ(units->YToPixels(twips), pixels) << twips;
    }
    EXPECT_EQ(ScreenUnits::Round(1e300), INT_MAX);
    EXPECT_EQ(ScreenUnits::Round(-1e300), INT_MIN);
}

QRgb Q(ColorValue c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Through colour tables over the bitmap's own pixels, in either row order.
TEST(PictureBox, ShowsExactlyWhatRecolorBitmapWritesAtEveryDepthZoomAndScroll) {
    TestApp();
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-10, 45), size(0, 30);
    for (int bits : {1, 4, 8})
        for (bool topDown : {false, true}) {
            ColorMap map;
            for (int i = 0; i < 256; ++i)
                map.SetEntry(static_cast<std::uint8_t>(i),
                             static_cast<std::uint8_t>(rng() % (1 << bits)));
            const clsBitmap source = Loaded(Bmp().Size(37, 23).TopDown(topDown).Bits(bits).Pixels(
                [bits](int x, int y) { return (x * 31 + y * 17) & ((1 << bits) - 1); }));
            PictureBox::Colors file, mapped;
            for (int i = 0; i < 256; ++i)
                file[i] = Q(Bmp::PaletteColor(i)), mapped[i] = Q(Bmp::PaletteColor(map[i]));
            PictureBox box(1, nullptr);
            box.SetSource(&source);
            box.resize(40, 30);
            for (int round = 0; round < 40; ++round) {
                // Regression (round 1, outside): the preview wrote the selection rule out
                // for itself and left pixels of a selection of negative width unchanged.
                const SelectionRect sel =
                    round == 0   ? SelectionRect{}
                    : round == 1 ? SelectionRect{3, 0, -2, 1}
                                 : SelectionRect{coord(rng), coord(rng), size(rng), size(rng)};
                auto copy = source.CreateCopy();
                RecolorBitmap(*copy, map, sel, round % 2);
                box.SetColors(file, mapped, sel, round % 2);
                box.SetZoom(1 + round % 3);
                box.SetOffset(QPoint(round % 5, round % 7));
                const QImage shot = box.grab().toImage();
                for (int y = 0; y < 23; ++y)
                    for (int x = 0; x < 37; ++x) {
                        const QRgb expected = file[static_cast<size_t>(copy->GetPixelAt(x, y))];
                        ASSERT_EQ(box.ColorAt(x, y), expected) << bits << " " << x << "," << y;
                        const QPoint at = QPoint(x, y) * box.Zoom() - box.Offset();
                        if (QRect(0, 0, 40, 30).contains(at))
                            ASSERT_EQ(shot.pixel(at), expected) << bits << " " << x << "," << y;
                    }
            }
        }
}

// Runs `act` on the first modal dialog that opens.
void WhenDialogOpens(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start(5);
}

TEST(QtDialogs, ShowTheRequestAndAnswerAsTheUserPressed) {
    TestApp();
    QtMessageBox box;
    QString seen;
    WhenDialogOpens([&](QWidget* w) {
        auto* b = qobject_cast<QMessageBox*>(w);
        seen = b->windowTitle() + "|" + b->text() + "|" + QString::number(b->icon()) + "|" +
               QString::number(b->buttons().size()) + "|" + b->defaultButton()->text();
        b->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(
        box.Show({"Save current color map?", "", MsgButtons::YesNoCancel, MsgIcon::Question, 2}),
        MsgResult::No);
    EXPECT_EQ(seen, "Tintwell|Save current color map?|4|3|Cancel");
    WhenDialogOpens([&](QWidget* w) {
        seen = w->windowTitle();
        QTest::keyClick(w, Qt::Key_Return);
    });
    EXPECT_EQ(
        box.Show({"\"a.bmp\" not found.", "Not Found", MsgButtons::OK, MsgIcon::Information, 0}),
        MsgResult::OK);
    EXPECT_EQ(seen, "Not Found");
    WhenDialogOpens([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(box.Show({"Overwrite?", "", MsgButtons::YesNo, MsgIcon::Error, 0}), MsgResult::No);

    QtTextPrompt prompt;
    WhenDialogOpens([&](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>();
        seen = w->windowTitle() + "|" + edit->text();
        edit->selectAll();
        QTest::keyClicks(edit, "Ocean");
        QTest::keyClick(w, Qt::Key_Return);
    });
    EXPECT_EQ(prompt.Ask({"Name of the color map:", "", "Map 1"}), "Ocean");
    EXPECT_EQ(seen, "Tintwell|Map 1");
    WhenDialogOpens([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(prompt.Ask({"Name:", "Save As", "x"}), "");
}

TEST(QtBatchProgress, AppearsForALongBatchAndItsCancelStopsBeforeTheNextFile) {
    TestApp();
    QtBatchProgress slow(nullptr, 0), quick(nullptr, 60000);
    slow.Begin(5);
    quick.Begin(3);
    ASSERT_TRUE(slow.Next(0, "a.bmp") && slow.Next(1, "b.bmp") && quick.Next(0, "x.bmp"));
    EXPECT_FALSE(quick.Dialog()->isVisible());
    QProgressDialog* dialog = slow.Dialog();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->labelText(), "Recoloring b.bmp (2 of 5)");
    EXPECT_EQ(dialog->windowTitle(), "Tintwell");
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_FALSE(slow.Next(2, "c.bmp"));
    slow.End();
    EXPECT_EQ(slow.Dialog(), nullptr);
}

}  // namespace
}  // namespace tintwell::test
