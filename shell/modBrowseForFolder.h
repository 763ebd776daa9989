#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace tintwell {

class IFileDialogExec;

// Option bits of the folder picker: pick folders, all items, path and file
// must exist.
constexpr uint32_t kBrowseForFolderFlags = 0x18A0;

// Lets the user pick a folder, starting at `StartFolder` (ignored when it is
// not an existing folder). Returns the folder's full path, or the empty string
// when the user cancels or no dialog can be shown. `exec` runs the dialog
// (QFileDialog::exec when null).
QString BrowseForFolder(const QString& StartFolder, QWidget* OwnerHwnd, const QString& Title,
                        IFileDialogExec* exec = nullptr);

}  // namespace tintwell
