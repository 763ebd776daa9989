#include "shell/FileDialogStates.h"

namespace tintwell {

QString FileDialogStates::Folder(const QString& guid) const {
    const auto it = folders_.find(guid.toUpper());
    return it == folders_.end() ? QString() : it->second;
}

void FileDialogStates::Remember(const QString& guid, const QString& folder) {
    folders_[guid.toUpper()] = folder;
}

void FileDialogStates::Forget(const QString& guid) {
    folders_.erase(guid.toUpper());
}

}  // namespace tintwell
