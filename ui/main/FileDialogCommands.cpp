#include "ui/main/FileDialogCommands.h"

#include <QMenu>

#include "core/modIndexList.h"
#include "shell/modBrowseForFolder.h"
#include "shell/modCommonDialog.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"

namespace tintwell {

FileDialogCommands::FileDialogCommands(frm& window, Application& app, QMenu* options)
    : QObject(&window), window_(window), app_(app) {
    connect(window.cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    window.cmdBrowse->show();
    mnuOptionsDash = options->addSeparator();
    mnuOptionsDash->setObjectName("mnuOptionsDash");
    mnuOptionsSaveColorIndexList = options->addAction(tr("Save Color &Index List"));
    mnuOptionsSaveColorIndexList->setObjectName("mnuOptionsSaveColorIndexList");
    connect(mnuOptionsSaveColorIndexList, &QAction::triggered, this,
            [this] { mnuOptionsSaveColorIndexList_Click(); });
    // Enabled while the file list has a current file (frm::File_Click).
    mnuOptionsSaveColorIndexList->setEnabled(false);
}

void FileDialogCommands::cmdBrowse_Click() {
    const QString folder = BrowseForFolder(QString::fromLocal8Bit(window_.FolderTag()), &window_,
                                           tr("Select a folder"), exec_);
    if (folder.isEmpty()) return;
    window_.OpenFolder(folder.toLocal8Bit().toStdString());
}

void FileDialogCommands::mnuOptionsSaveColorIndexList_Click() {
    Session& session = app_.CurrentSession();
    if (!session.HasSelectedFile()) {
        MessageRequest none;
        none.text = tr("No image selected").toStdString();
        app_.Messages().Show(none);
        return;
    }
    const std::filesystem::path file = session.SelectedFile();
    int32_t filterIndex = 0;
    const QString path = ShowSaveDialog(
        &window_, tr("Text files (*.txt)|*.txt|All files (*.*)|*.*"), tr("Save color index list"),
        QString::fromLocal8Bit(file.parent_path().string()), "txt",
        QString::fromLocal8Bit(SuggestedIndexListName(file.filename().string())), filterIndex,
        exec_);
    if (path.isEmpty()) return;
    const clsBitmap* bitmap = session.Image();
    if (bitmap == nullptr || bitmap->BitCount() != 8) return;
    std::string error;
    if (WriteColorIndexList(*bitmap, path.toLocal8Bit().toStdString(), error) ==
        IndexListResult::Failed) {
        app_.Messages().Show(IndexListFailedMessage(error));
    }
}

}  // namespace tintwell
