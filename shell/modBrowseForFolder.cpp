#include "shell/modBrowseForFolder.h"

#include "shell/IFileDialog.h"

namespace tintwell {

QString BrowseForFolder(const QString& StartFolder, QWidget* OwnerHwnd, const QString& Title,
                        IFileDialogExec* exec) {
    IFileDialog dialog(exec);
    dialog.propStartupFolder_Set(StartFolder);
    dialog.propFlags(kBrowseForFolderFlags);
    QString folder;
    if (dialog.DialogShow(OwnerHwnd, 2, Title) == 0) {
        folder = dialog.IShellItem_GetDisplayName(dialog.ResultsItem(1),
                                                  sigdn::DesktopAbsoluteEditing, false);
    }
    dialog.Clear();
    return folder;
}

}  // namespace tintwell
