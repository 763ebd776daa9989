#include "ui/main/RestoreCommand.h"

#include <QMenu>

#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"

namespace tintwell {

std::string RestoreQuestionText(int count) {
    const std::string number = std::to_string(count);
    return count == 1 ? "Restore 1 selected BMP from its newest backup? The file is backed up "
                        "first, so restoring again undoes this."
                      : "Restore " + number +
                            " selected BMPs from their newest backups? Each file is backed up "
                            "first, so restoring again undoes this.";
}

RestoreCommand::RestoreCommand(frm& window, Application& app)
    : QObject(&window), window_(window), app_(app) {
    mnuFileRestore = new QAction("&Restore Selected BMPs from Backup", window.mnuFile);
    mnuFileRestore->setObjectName("mnuFileRestore");
    window.mnuFile->insertAction(window.mnuFileExit, mnuFileRestore);
    mnuFileDash = window.mnuFile->insertSeparator(window.mnuFileExit);
    mnuFileDash->setObjectName("mnuFileDash");
    connect(mnuFileRestore, &QAction::triggered, this, [this] { mnuFileRestore_Click(); });
}

bool RestoreCommand::Confirm(int count) {
    MessageRequest question;
    question.text = RestoreQuestionText(count);
    question.title = "Restore from Backup";
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
        done.text = "Restored " + std::to_string(totals.done) + " of " +
                    std::to_string(names.size()) + " BMPs from backup.";
        app_.Messages().Show(done);
    }
}

}  // namespace tintwell
