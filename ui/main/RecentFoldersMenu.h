#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <string>

namespace tintwell {

class Application;
class frm;

// File > "Open Folder..." (Ctrl+O), which runs the folder dialog of the Browse
// button, and File > "Recent Folders", the last folders worked in (stored in
// Tintwell.ini, see RecentFolders). The list is read afresh each time the File
// menu opens, dropping folders that no longer exist.
class RecentFoldersMenu : public QObject {
    Q_OBJECT
  public:
    // Adds both items at the top of `window`'s File menu.
    RecentFoldersMenu(frm& window, Application& app);

    // `folder` is being worked in: it becomes the newest entry.
    void Remember(const std::string& folder);
    // Fills "Recent Folders" from the settings; greyed out when none is left.
    void Refresh();
    // Opens entry `index` (0 the newest) of the menu as shown.
    void mnuFileRecent_Click(int index);

    QAction* mnuFileOpenFolder;
    QMenu* mnuFileRecent;

  private:
    frm& window_;
    Application& app_;
};

}  // namespace tintwell
