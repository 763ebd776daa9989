#include "ui/toolkit/QtBatchProgress.h"

#include "ui/toolkit/AppInfo.h"

namespace tintwell {

std::string BatchProgressText(int index, int total, const std::string& name,
                              const std::string& action) {
    return action + " " + name + " (" + std::to_string(index + 1) + " of " + std::to_string(total) +
           ")";
}

QtBatchProgress::~QtBatchProgress() {
    delete dialog_.data();
}

void QtBatchProgress::Begin(int total) {
    Begin(total, "Recoloring");
}

void QtBatchProgress::Begin(int total, const std::string& action) {
    End();
    total_ = total;
    action_ = action;
    auto* d = new QProgressDialog(owner_);
    d->setWindowTitle(QString::fromLocal8Bit(AppInfo::Title()));
    d->setCancelButtonText(QProgressDialog::tr("Cancel"));
    d->setRange(0, total);
    d->setMinimumDuration(showAfterMs_);
    d->setWindowModality(Qt::WindowModal);
    d->setAutoClose(false);
    d->setAutoReset(false);
    d->setValue(0);
    dialog_ = d;
}

bool QtBatchProgress::Next(int index, const std::string& name) {
    if (!dialog_) return true;
    if (dialog_->wasCanceled()) return false;
    dialog_->setLabelText(QString::fromLocal8Bit(BatchProgressText(index, total_, name, action_)));
    // setValue lets a modal dialog process events, so Cancel can be pressed.
    dialog_->setValue(index);
    return !dialog_->wasCanceled();
}

void QtBatchProgress::End() {
    if (!dialog_) return;
    delete dialog_.data();
    dialog_ = nullptr;
}

}  // namespace tintwell
