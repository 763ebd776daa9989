#pragma once

#include <QString>
#include <map>

namespace tintwell {

// The last folder of each dialog-state GUID, remembered for the run. Whoever
// shows dialogs with a state GUID owns one and hands it to the dialogs.
class FileDialogStates {
  public:
    // Empty when nothing is remembered for `guid`.
    QString Folder(const QString& guid) const;
    void Remember(const QString& guid, const QString& folder);
    void Forget(const QString& guid);

  private:
    std::map<QString, QString> folders_;  // upper-cased GUID -> folder
};

}  // namespace tintwell
