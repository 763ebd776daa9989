#include "shell/FileDialogWidget.h"

#include <QFileInfo>
#include <QFileSystemModel>

namespace tintwell {

FileDialogWidget::FileDialogWidget(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog, true);
}

void FileDialogWidget::accept() {
    const QStringList chosen = selectedFiles();
    const bool asksOverwrite =
        acceptMode() == QFileDialog::AcceptSave && !testOption(QFileDialog::DontConfirmOverwrite);
    if (!onOverwrite || !asksOverwrite || chosen.isEmpty() || !QFileInfo::exists(chosen.front())) {
        QFileDialog::accept();
        return;
    }
    const int response = onOverwrite(chosen.front());
    if (response == 2) return;
    if (response == 1) setOption(QFileDialog::DontConfirmOverwrite, true);
    QFileDialog::accept();
    if (response == 1) setOption(QFileDialog::DontConfirmOverwrite, false);
}

void FileDialogWidget::done(int result) {
    if (result == QDialog::Accepted && onFileOk && !onFileOk()) return;
    QFileDialog::done(result);
}

void FileDialogWidget::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (onFirstShow) onFirstShow();
}

FileDialogItemFilter::FileDialogItemFilter(std::function<bool(const QString& path)> deny,
                                           QObject* parent)
    : QSortFilterProxyModel(parent), deny_(std::move(deny)) {}

bool FileDialogItemFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || !deny_) return true;
    return !deny_(files->filePath(files->index(sourceRow, 0, sourceParent)));
}

}  // namespace tintwell
