#include "shell/modCommonDialog.h"

#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "shell/FileDialogWidget.h"
#include "shell/IFileDialogExec.h"
#include "shell/ShellFilters.h"

namespace tintwell {
namespace {

// The dialog adds the default suffix to a name without one, also when the name
// picked is a device, a FIFO or a socket, which is written as it is: such a
// name is given back without the suffix.
QString WithoutAddedSuffix(const QString& path, const QString& suffix) {
    const QString added = "." + suffix;
    if (suffix.isEmpty() || !path.endsWith(added) || QFileInfo::exists(path)) return path;
    const QString picked = path.chopped(added.size());
    struct stat st {};
    const bool special = ::stat(QFile::encodeName(picked).constData(), &st) == 0 &&
                         !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
    return special ? picked : path;
}

}  // namespace

QString ShowSaveDialog(QWidget* OwnerHwnd, const QString& Filter, const QString& Title,
                       const QString& InitialDir, const QString& DefaultExt,
                       const QString& FileName, int32_t& FilterIndex, IFileDialogExec* exec) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return {};
    FileDialogWidget dialog(OwnerHwnd);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = QtNameFilters(Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        // Counted from 1; outside the list nothing is selected, which leaves the first.
        dialog.selectNameFilter(filters.value(qsizetype{FilterIndex} - 1));
    }
    if (!InitialDir.isEmpty()) dialog.setDirectory(InitialDir);
    if (!FileName.isEmpty()) dialog.selectFile(FileName);
    if (!Title.isEmpty()) dialog.setWindowTitle(Title);
    dialog.setDefaultSuffix(DefaultExt.startsWith(u'.') ? DefaultExt.mid(1) : DefaultExt);

    QtFileDialogExec qtExec;
    const int answer = (exec ? exec : &qtExec)->Exec(dialog);
    if (!filters.isEmpty()) {
        FilterIndex = static_cast<int32_t>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (answer != QDialog::Accepted || chosen.isEmpty()) return {};
    return WithoutAddedSuffix(QDir::cleanPath(chosen.front()), dialog.defaultSuffix());
}

}  // namespace tintwell
