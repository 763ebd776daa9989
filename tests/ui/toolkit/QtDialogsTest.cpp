// Drives the real Qt message box and prompt: a timer finds the open dialog,
// reads what it shows and presses a key or button, as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/toolkit/QtMessageBox.h"
#include "ui/toolkit/QtTextPrompt.h"

namespace tintwell {
namespace {

QApplication& App() {
    static int argc = 1;
    static char arg0[] = "toolkit_test";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);  // never torn down at exit
    return *app;
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

struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

Seen ReadBox(QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    Seen s;
    if (box == nullptr) return s;
    s.title = box->windowTitle();
    s.text = box->text();
    s.icon = box->icon();
    for (auto* b : box->buttons())
        s.buttons << b->text();
    if (box->defaultButton() != nullptr) s.defaultButton = box->defaultButton()->text();
    return s;
}

void Press(QWidget* w, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box != nullptr && box->button(which) != nullptr) box->button(which)->click();
}

TEST(QtMessageBox, ShowsTextIconButtonsAndProgramTitleWhenNoneGiven) {
    App();
    QtMessageBox mb;
    Seen seen;
    WhenDialogOpens([&](QWidget* w) {
        seen = ReadBox(w);
        Press(w, QMessageBox::No);
    });
    MessageRequest r;
    r.text = "Save current color map?";
    r.buttons = MsgButtons::YesNoCancel;
    r.icon = MsgIcon::Question;
    r.defaultButton = 2;
    EXPECT_EQ(mb.Show(r), MsgResult::No);
    EXPECT_EQ(seen.title, "Tintwell");
    EXPECT_EQ(seen.text, "Save current color map?");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons.size(), 3);
    EXPECT_TRUE(seen.defaultButton.contains("Cancel"));
}

TEST(QtMessageBox, GivenTitleAndReturnKeyPressesTheDefaultButton) {
    App();
    QtMessageBox mb;
    Seen seen;
    WhenDialogOpens([&](QWidget* w) {
        seen = ReadBox(w);
        QTest::keyClick(w, Qt::Key_Return);
    });
    MessageRequest r;
    r.text = "\"/x/a.bmp\" not found.";
    r.title = "Not Found";
    r.icon = MsgIcon::Information;
    EXPECT_EQ(mb.Show(r), MsgResult::OK);
    EXPECT_EQ(seen.title, "Not Found");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST(QtMessageBox, EscapeOnYesNoAnswersNo) {
    App();
    QtMessageBox mb;
    WhenDialogOpens([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    MessageRequest r;
    r.text = "Overwrite?";
    r.buttons = MsgButtons::YesNo;
    r.icon = MsgIcon::Error;
    EXPECT_EQ(mb.Show(r), MsgResult::No);
}

TEST(QtTextPrompt, ReturnsTheTextTyped) {
    App();
    QtTextPrompt prompt;
    QString label, title;
    WhenDialogOpens([&](QWidget* w) {
        title = w->windowTitle();
        auto* edit = w->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "Map 1");
        edit->selectAll();
        QTest::keyClicks(edit, "Ocean");
        QTest::keyClick(w, Qt::Key_Return);
    });
    EXPECT_EQ(prompt.Ask({"Name of the color map:", "", "Map 1"}), "Ocean");
    EXPECT_EQ(title, "Tintwell");
}

TEST(QtTextPrompt, CancelGivesTheEmptyString) {
    App();
    QtTextPrompt prompt;
    WhenDialogOpens([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>();
        if (edit != nullptr) QTest::keyClicks(edit, "typed");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_EQ(prompt.Ask({"Name:", "Save As", "x"}), "");
}

}  // namespace
}  // namespace tintwell
