#pragma once

#include <QAction>
#include <QObject>
#include <string>
#include <vector>

namespace tintwell {

class Application;
class frm;

// File > "Restore Selected BMPs from Backup": after a confirmation naming the
// count, puts back the newest backup of every selected file (frm::RunFileBatch).
class RestoreCommand : public QObject {
    Q_OBJECT
  public:
    // Adds the item to `window`'s File menu, before "E&xit".
    RestoreCommand(frm& window, Application& app);

    void mnuFileRestore_Click();

    QAction* mnuFileRestore;
    QAction* mnuFileDash;

  private:
    bool Confirm(int count);

    frm& window_;
    Application& app_;
};

// "Restore 3 selected BMPs from their newest backups? ...": the confirmation.
std::string RestoreQuestionText(int count);

}  // namespace tintwell
