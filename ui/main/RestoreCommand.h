#pragma once

#include <QAction>
#include <QObject>
#include <string>
#include <vector>

namespace tintwell {

class Application;
class IBatchProgress;
class frm;

// File > "Restore Selected BMPs from Backup": after a confirmation naming the
// count, puts back the newest backup of every selected file (RestoreFromBackup),
// with progress and Cancel on long batches, each failure reported as it
// happens; the palette and the preview then show the current file as it is.
class RestoreCommand : public QObject {
    Q_OBJECT
  public:
    // Adds the item to `window`'s File menu, before "E&xit".
    RestoreCommand(frm& window, Application& app, IBatchProgress& progress);

    void mnuFileRestore_Click();

    QAction* mnuFileRestore;
    QAction* mnuFileDash;

  private:
    bool Confirm(int count);
    // Restores the files; the number restored, or -1 when the user stopped.
    int RunBatch(const std::vector<std::string>& names);

    frm& window_;
    Application& app_;
    IBatchProgress& progress_;
    int done_ = 0;      // files the last batch went through
    int restored_ = 0;  // of them, restored
};

// "Restore 3 selected BMPs from their newest backups? ...": the confirmation.
std::string RestoreQuestionText(int count);

}  // namespace tintwell
