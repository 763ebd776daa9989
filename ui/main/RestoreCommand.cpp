#include "ui/main/RestoreCommand.h"

#include <QMenu>

#include "core/BackupIndex.h"
#include "core/modRestore.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/BatchMessageBox.h"
#include "ui/toolkit/IBatchProgress.h"

namespace tintwell {

std::string RestoreQuestionText(int count) {
    const std::string number = std::to_string(count);
    return count == 1 ? "Restore 1 selected BMP from its newest backup? The file is backed up "
                        "first, so restoring again undoes this."
                      : "Restore " + number +
                            " selected BMPs from their newest backups? Each file is backed up "
                            "first, so restoring again undoes this.";
}

RestoreCommand::RestoreCommand(frm& window, Application& app, IBatchProgress& progress)
    : QObject(&window), window_(window), app_(app), progress_(progress) {
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

int RestoreCommand::RunBatch(const std::vector<std::string>& names) {
    const int total = static_cast<int>(names.size());
    const bool withProgress = total >= 2;
    if (withProgress) progress_.Begin(total, "Restoring");
    int restored = 0;
    done_ = restored_ = 0;
    BackupIndex backups;
    BatchMessageBox messages(app_.Messages(), progress_);  // holds the progress while up
    for (int k = 0; k < total; ++k) {
        const std::string& name = names[static_cast<std::size_t>(k)];
        if (withProgress && !progress_.Next(k, name)) {
            restored = -1;
            break;
        }
        if (RestoreFromBackup(window_.PathInFileFolder(name), false, messages, &backups).restored)
            ++restored;
        done_ = k + 1;
        restored_ = restored;
    }
    if (withProgress) progress_.End();
    return restored;
}

void RestoreCommand::mnuFileRestore_Click() {
    const std::vector<std::string> names = window_.SelectedFileNames();
    if (names.empty() || !Confirm(static_cast<int>(names.size()))) return;
    const int restored = RunBatch(names);
    window_.ShowBatchStatus(BatchStatusText("restored", static_cast<int>(names.size()), done_,
                                            restored_, restored < 0));
    window_.File_Click();
    window_.File->setFocus();
    if (names.size() >= 2 && restored >= 0) {
        MessageRequest done;
        done.text = "Restored " + std::to_string(restored) + " of " + std::to_string(names.size()) +
                    " BMPs from backup.";
        app_.Messages().Show(done);
    }
}

}  // namespace tintwell
