#include "ui/main/RestoreCommand.h"

#include <QCoreApplication>
#include <QMenu>

#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"

namespace tintwell {

std::string RestoreQuestionText(int count) {
    const QString text =
        count == 1
            ? QCoreApplication::translate("tintwell::RestoreCommand",
                                          "Restore 1 selected BMP from its newest backup? The file "
                                          "is backed up first, so restoring again undoes this.")
            : QCoreApplication::translate(
                  "tintwell::RestoreCommand",
                  "Restore %1 selected BMPs from their newest backups? Each "
                  "file is backed up first, so restoring again undoes this.")
                  .arg(count);
    return text.toStdString();
}

RestoreCommand::RestoreCommand(frm& window, Application& app)
    : QObject(&window), window_(window), app_(app) {
    mnuFileRestore = new QAction(tr("&Restore Selected BMPs from Backup"), window.mnuFile);
    mnuFileRestore->setObjectName("mnuFileRestore");
    window.mnuFile->insertAction(window.mnuFileExit, mnuFileRestore);
    mnuFileDash = window.mnuFile->insertSeparator(window.mnuFileExit);
    mnuFileDash->setObjectName("mnuFileDash");
    connect(mnuFileRestore, &QAction::triggered, this, [this] { mnuFileRestore_Click(); });
}

bool RestoreCommand::Confirm(int count) {
    MessageRequest question;
    question.text = RestoreQuestionText(count);
    question.title = tr("Restore from Backup").toStdString();
    question.buttons = MsgButtons::YesNo;
    question.icon = MsgIcon::Question;
    question.defaultButton = 1;  // No: Enter alone does not replace files
    return app_.Messages().Show(question) == MsgResult::Yes;
}

void RestoreCommand::mnuFileRestore_Click() {
    const std::vector<std::string> names = window_.SelectedFileNames();
    if (names.empty() || !Confirm(static_cast<int>(names.size()))) return;
    const BatchTotals totals = window_.RunFileBatch(FileBatch::Restore(false), names,
                                                    QT_TRANSLATE_NOOP("Progress", "Restoring"));
    if (names.size() >= 2 && !totals.stopped) {
        MessageRequest done;
        done.text = tr("Restored %1 of %2 BMPs from backup.")
                        .arg(totals.done)
                        .arg(names.size())
                        .toStdString();
        app_.Messages().Show(done);
    }
}

}  // namespace tintwell
