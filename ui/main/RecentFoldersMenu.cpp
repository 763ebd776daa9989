#include "ui/main/RecentFoldersMenu.h"

#include <filesystem>
#include <system_error>

#include "core/modRecolor.h"
#include "settings/RecentFolders.h"
#include "ui/main/FileDialogCommands.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"

namespace tintwell {

RecentFoldersMenu::RecentFoldersMenu(frm& window, Application& app)
    : QObject(&window), window_(window), app_(app) {
    QAction* first = window.mnuFile->actions().value(0);
    mnuFileOpenFolder = new QAction(tr("&Open Folder..."), window.mnuFile);
    mnuFileOpenFolder->setObjectName("mnuFileOpenFolder");
    mnuFileOpenFolder->setShortcut(QKeySequence::Open);
    window.mnuFile->insertAction(first, mnuFileOpenFolder);
    connect(mnuFileOpenFolder, &QAction::triggered, this,
            [this] { window_.Dialogs()->cmdBrowse_Click(); });
    mnuFileRecent = new QMenu(tr("Recent &Folders"), window.mnuFile);
    mnuFileRecent->setObjectName("mnuFileRecent");
    window.mnuFile->insertMenu(first, mnuFileRecent);
    window.mnuFile->insertSeparator(first)->setObjectName("mnuFileOpenDash");
    connect(window.mnuFile, &QMenu::aboutToShow, this, [this] { Refresh(); });
}

void RecentFoldersMenu::Remember(const std::string& folder) {
    RecentFolders(app_.Settings()).Add(folder);
}

void RecentFoldersMenu::Refresh() {
    // Later, not now: Refresh also runs from an item's own click.
    for (QAction* old : mnuFileRecent->actions()) {
        mnuFileRecent->removeAction(old);
        old->deleteLater();
    }
    const std::vector<std::string> folders = RecentFolders(app_.Settings()).Existing();
    for (std::size_t n = 0; n < folders.size(); ++n) {
        QString shown = QString::fromLocal8Bit(folders[n]);
        shown.replace('&', "&&");
        QAction* item = mnuFileRecent->addAction(QString("&%1 %2").arg(n + 1).arg(shown));
        item->setObjectName(QString("mnuFileRecent%1").arg(n));
        const int index = static_cast<int>(n);
        connect(item, &QAction::triggered, this, [this, index] { mnuFileRecent_Click(index); });
    }
    mnuFileRecent->setEnabled(!folders.empty());
}

void RecentFoldersMenu::mnuFileRecent_Click(int index) {
    const std::vector<std::string> folders = RecentFolders(app_.Settings()).Stored();
    if (index < 0 || index >= static_cast<int>(folders.size())) return;
    const std::string folder = folders[static_cast<std::size_t>(index)];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        app_.Messages().Show(NotFoundMessage(folder));
        Refresh();
        return;
    }
    window_.OpenFolder(folder);
}

}  // namespace tintwell
