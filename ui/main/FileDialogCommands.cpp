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
    mnuOptionsSaveColorIndexList = options->addAction("Save Color &Index List");
    mnuOptionsSaveColorIndexList->setObjectName("mnuOptionsSaveColorIndexList");
    connect(mnuOptionsSaveColorIndexList, &QAction::triggered, this,
            [this] { mnuOptionsSaveColorIndexList_Click(); });
}

void FileDialogCommands::cmdBrowse_Click() {
    const QString folder = BrowseForFolder(QString::fromLocal8Bit(window_.FolderTag()), &window_,
                                           "Select a folder", exec_);
    if (folder.isEmpty()) return;
    const std::string path = folder.toLocal8Bit().toStdString();
    window_.SetFolderLabel(window_.lblFolder, path);
    window_.SetFileListFolder(path);
    app_.Settings().SetFolder(path);
}

void FileDialogCommands::mnuOptionsSaveColorIndexList_Click() {
    if (window_.View()->PreviewBitmap() == nullptr) {
        MessageRequest none;
        none.text = "No image selected";
        app_.Messages().Show(none);
        return;
    }
    const QListWidgetItem* current = window_.File->currentItem();
    const std::string entry = current ? current->text().toLocal8Bit().toStdString() : std::string();
    int32_t filterIndex = 0;
    const QString path =
        ShowSaveDialog(&window_, "Text files (*.txt)|*.txt|All files (*.*)|*.*",
                       "Save color index list", QString::fromLocal8Bit(app_.Info().Folder()), "txt",
                       QString::fromLocal8Bit(SuggestedIndexListName(entry)), filterIndex, exec_);
    if (path.isEmpty()) return;
    const clsBitmap* bitmap = window_.View()->PreviewBitmap();
    if (bitmap == nullptr || bitmap->BitCount() != 8) return;
    std::string error;
    if (WriteColorIndexList(*bitmap, path.toLocal8Bit().toStdString(), error) ==
        IndexListResult::Failed) {
        app_.Messages().Show(IndexListFailedMessage(error));
    }
}

}  // namespace tintwell
