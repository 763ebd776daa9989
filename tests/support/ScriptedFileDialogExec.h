#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

#include "shell/IFileDialogExec.h"
#include "support/QStringPrinter.h"
#include "support/WindowsTestKit.h"

namespace tintwell::test {

// Base of fixtures that hold widgets as members: the QApplication comes first.
struct WithTestApp {
    WithTestApp() { TestApp(); }
};

// What a file dialog looked like when it was about to be shown.
struct FileDialogSnapshot {
    QWidget* owner = nullptr;
    QString title;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QFileDialog::Options options;
    QString directory;
    QStringList nameFilters;
    QString selectedNameFilter;
    QString fileNameText;  // the text in the dialog's file name box
    QString defaultSuffix;
    QString acceptLabel;
    QString fileNameLabel;
    QList<QUrl> places;
};

// File dialog runner for tests: records each dialog and answers from a script.
// An answer may first run `during` (to use the open dialog), then picks a name
// filter, selects `choose` (paths or names) and accepts, or cancels. With the
// script empty the dialog is cancelled.
class ScriptedFileDialogExec : public IFileDialogExec {
  public:
    struct Answer {
        bool accept = false;
        QStringList choose;
        QString nameFilter;
        std::function<void(QFileDialog&)> during;
    };

    static Answer Choose(QStringList paths) { return Answer{true, std::move(paths), {}, {}}; }
    static Answer Cancel() { return Answer{}; }

    int Exec(QFileDialog& dialog) override {
        shown.push_back(Snapshot(dialog));
        if (answers.empty()) return QDialog::Rejected;
        Answer answer = answers.front();
        answers.pop_front();
        if (answer.during) answer.during(dialog);
        if (!answer.nameFilter.isEmpty()) dialog.selectNameFilter(answer.nameFilter);
        if (!answer.accept) {
            dialog.reject();
            return QDialog::Rejected;
        }
        Select(dialog, answer.choose);
        static_cast<QDialog&>(dialog).accept();
        return dialog.result();
    }

    static FileDialogSnapshot Snapshot(QFileDialog& d) {
        FileDialogSnapshot s;
        s.owner = d.parentWidget();
        s.title = d.windowTitle();
        s.acceptMode = d.acceptMode();
        s.fileMode = d.fileMode();
        s.options = d.options();
        s.directory = d.directory().absolutePath();
        s.nameFilters = d.nameFilters();
        s.selectedNameFilter = d.selectedNameFilter();
        if (auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            s.fileNameText = edit->text();
        }
        s.defaultSuffix = d.defaultSuffix();
        s.acceptLabel = d.labelText(QFileDialog::Accept);
        s.fileNameLabel = d.labelText(QFileDialog::FileName);
        s.places = d.sidebarUrls();
        return s;
    }

    // A folder is chosen as the folder shown with nothing typed; files by name.
    static void Select(QFileDialog& d, const QStringList& paths) {
        if (d.fileMode() == QFileDialog::Directory && paths.size() == 1) {
            d.setDirectory(paths.front());
            if (auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                edit->clear();
            }
            return;
        }
        if (paths.size() == 1) {
            d.selectFile(paths.front());
            return;
        }
        QStringList quoted;
        for (const QString& p : paths)
            quoted << QLatin1Char('"') + p + QLatin1Char('"');
        if (auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            edit->setText(quoted.join(u' '));
        }
    }

    // Answers the next question the dialog asks itself (such as whether to
    // replace an existing file) with `button`, from the event loop.
    static void AnswerNextQuestion(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (QAbstractButton* b = box->button(button)) b->click();
            }
        });
    }

    std::vector<FileDialogSnapshot> shown;
    std::deque<Answer> answers;
};

}  // namespace tintwell::test
