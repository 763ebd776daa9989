#pragma once

#include <QAction>
#include <QObject>

class QMenu;

namespace tintwell {

class Application;
class IFileDialogExec;
class frm;

// The main window's commands that use the shell's file dialogs: the Browse
// button "..." that picks the folder to work in, and "Save Color Index List"
// of the Options menu that exports the palette indices of the selected file
// (the session's), its dialog starting in that file's folder.
class FileDialogCommands : public QObject {
    Q_OBJECT
  public:
    // Wires the Browse button and adds the export command to `options`.
    FileDialogCommands(frm& window, Application& app, QMenu* options);

    // Who runs the dialogs (QFileDialog::exec when null); tests script them.
    void SetFileDialogExec(IFileDialogExec* exec) { exec_ = exec; }

    void cmdBrowse_Click();
    void mnuOptionsSaveColorIndexList_Click();

    QAction* mnuOptionsDash;
    QAction* mnuOptionsSaveColorIndexList;

  private:
    frm& window_;
    Application& app_;
    IFileDialogExec* exec_ = nullptr;
};

}  // namespace tintwell
