#pragma once
// What the window tests share: the one QApplication, events sent the way the
// windowing system delivers them, the scripted prompt, batch progress and file
// dialog, and a fresh program per test with its main window loaded.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <functional>

#include "shell/IFileDialogExec.h"
#include "support/BmpBuilder.h"
#include "support/TestKit.h"
#include "ui/main/FileDialogCommands.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"

// Lets GoogleTest print Qt strings readably.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace tintwell::test {

// The test main's QApplication (support/QtTestMain.cpp), else one made here and
// never destroyed: tearing Qt down among the static objects at exit crashes.
inline QApplication& TestApp() {
    static int argc = 1;
    static char arg0[] = "tintwell-tests", *argv[] = {arg0, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

inline void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                  Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
inline void Press(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonPress, at, b, b);
}
inline void Release(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonRelease, at, b, Qt::NoButton);
}
inline void Click(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    Press(w, at, b);
    Release(w, at, b);
}
inline void Move(QWidget* w, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
    Mouse(w, QEvent::MouseMove, at, Qt::NoButton, held);
}
inline void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent e(type, key, mods);
        QApplication::sendEvent(w, &e);
    }
}
// The texts of menu items, "-" for a separator.
inline QStringList ActionTexts(const QList<QAction*>& actions) {
    QStringList t;
    for (QAction* a : actions)
        t << (a->isSeparator() ? "-" : a->text());
    return t;
}
// The palette index of a pixel of the file on disk, -1 when it cannot be loaded.
inline int PixelOnDisk(const std::filesystem::path& path, int x, int y) {
    clsBitmap b;
    return b.LoadFromFile(path) ? b.GetPixelAt(x, y) : -1;
}
// Runs the deletions that windows closing themselves have queued.
inline void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

struct RecordingTextPrompt : ITextPrompt {
    std::string Ask(const PromptRequest& r) override {
        shown.push_back(r);
        if (answers.empty()) return {};  // as Cancel
        const std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<PromptRequest> shown;
    std::deque<std::string> answers;
};

// Records the batch and stops it before the file index `stopBefore`, as Cancel does.
struct RecordingBatchProgress : IBatchProgress {
    void Begin(int total) override { log += "begin " + std::to_string(total) + ";"; }
    bool Next(int index, const std::string& name) override {
        return index != stopBefore && (log += name + ";", names.push_back(name), true);
    }
    void End() override { log += "end;"; }
    std::string log;
    std::vector<std::string> names;
    int stopBefore = -1;
};

// File dialog runner: records each dialog as it is about to show, runs `during`
// on it, then accepts `choose` (a folder as the folder shown, a file by name)
// or, with nothing to choose, cancels. With no answer scripted it cancels.
struct ScriptedFileDialogExec : IFileDialogExec {
    struct Answer {
        QStringList choose;
        std::function<void(QFileDialog&)> during;
        QString nameFilter;
    };
    // "title|save or open|file mode|folder|name typed|filters|filter|suffix|accept label|
    // name label|options|first place" of a dialog about to show.
    static QString Describe(QFileDialog& d) {
        const auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        return QStringList{d.windowTitle(),
                           d.acceptMode() == QFileDialog::AcceptSave ? "save" : "open",
                           QString::number(d.fileMode()),
                           d.directory().absolutePath(),
                           edit->text(),
                           d.nameFilters().join(';'),
                           d.selectedNameFilter(),
                           d.defaultSuffix(),
                           d.labelText(QFileDialog::Accept),
                           d.labelText(QFileDialog::FileName),
                           QString::number(d.options()),
                           d.sidebarUrls().value(0).toLocalFile()}
            .join('|');
    }
    int Exec(QFileDialog& d) override {
        seen << Describe(d);
        if (answers.empty()) return QDialog::Rejected;
        const Answer a = answers.front();
        answers.pop_front();
        if (a.during) a.during(d);
        if (!a.nameFilter.isEmpty()) d.selectNameFilter(a.nameFilter);
        if (a.choose.isEmpty()) return d.reject(), QDialog::Rejected;
        auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (d.fileMode() == QFileDialog::Directory) {
            d.setDirectory(a.choose.front());
            edit->clear();
        } else if (a.choose.size() == 1) {
            d.selectFile(a.choose.front());
        } else {
            edit->setText("\"" + a.choose.join("\" \"") + "\"");
        }
        static_cast<QDialog&>(d).accept();
        return d.result();
    }
    QStringList seen;
    std::deque<Answer> answers;
};

// A fresh program per test over a temporary program folder.
class MainWindowFixture : public ::testing::Test {
  protected:
    MainWindowFixture() { TestApp(); }
    ~MainWindowFixture() override {
        main.reset();
        FlushDeletes();
    }
    // Builds the program, runs the main window's load (opening `open`) and shows it.
    void Start(const std::string& ini = {}, const std::vector<std::string>& open = {}) {
        if (!ini.empty()) WriteFile(folder / "Tintwell.ini", ini);
        app = std::make_unique<Application>(AppInfo(folder.path().string()), messages, prompt);
        main = std::make_unique<frm>(*app, &progress);
        main->Form_Load(open);
        main->Dialogs()->SetFileDialogExec(&dialogs);
        main->show();
        QCoreApplication::processEvents();
    }
    // Closes the main window as the user would and lets the program end.
    void Close() {
        main->close();
        main.reset();
        FlushDeletes();
        app.reset();
    }
    std::string Ini() const { return ReadFile(folder / "Tintwell.ini"); }
    void WriteIni(const std::string& text) { WriteFile(folder / "Tintwell.ini", text); }
    bool IniHas(const std::string& line) const {
        return Ini().find(line + "\r\n") != std::string::npos;
    }
    // Writes an 8-bit image whose pixel (x, y) holds (x + y) mod 256.
    void Diagonal(const std::string& name, int w = 16, int h = 16) {
        WriteFile(folder / name,
                  Bmp().Size(w, h).Pixels([](int x, int y) { return x + y; }).Build());
    }
    // The ticks of Show Preview, Backup BMPs and Recolor outside, as "110".
    std::string Ticks() const {
        std::string t;
        for (QAction* a : {main->mnuOptionsShowPreview, main->mnuOptionsBackupBMPs,
                           main->mnuOptionsRecolorOutside})
            t += a->isChecked() ? '1' : '0';
        return t;
    }
    // The read-outs of the Selected, Mouse Over and Mapping To groups, as
    // "17 (11h) R: 17 G: 238 B: 122|...".
    std::string Groups() const {
        QStringList g;
        for (int i = 0; i < 3; ++i)
            g << (main->lblColorNum[i]->text() + " " + main->lblColorRGB[i]->text()).simplified();
        return g.join('|').toStdString();
    }
    // The listed names, "*" before the current one.
    std::string Listed() const {
        std::string names;
        for (int i = 0; i < main->File->count(); ++i)
            names += (i ? " " : "") + std::string(i == main->File->currentRow() ? "*" : "") +
                     main->File->item(i)->text().toStdString();
        return names;
    }

    TempDir folder;
    RecordingMessageBox messages;
    RecordingTextPrompt prompt;
    RecordingBatchProgress progress;
    ScriptedFileDialogExec dialogs;
    std::unique_ptr<Application> app;
    std::unique_ptr<frm> main;
};

}  // namespace tintwell::test
