#include "shell/modCommonDialog.h"

#include <QApplication>
#include <QDir>

#include "shell/FileDialogWidget.h"
#include "shell/IFileDialogExec.h"
#include "shell/ShellFilters.h"

namespace tintwell {

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
        const int32_t chosen = FilterIndex < 1 ? 0 : FilterIndex - 1;
        if (chosen < filters.size()) dialog.selectNameFilter(filters[chosen]);
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
    return QDir::cleanPath(chosen.front());
}

}  // namespace tintwell
