#include "ui/toolkit/QtBatchProgress.h"

#include <QCoreApplication>

#include "ui/toolkit/AppInfo.h"
#include "ui/toolkit/StopSignals.h"

namespace tintwell {

std::string BatchProgressText(int index, int total, const std::string& name,
                              const std::string& action) {
    return QCoreApplication::translate("Progress", "%1 %2 (%3 of %4)")
        .arg(QCoreApplication::translate("Progress", action.c_str()), QString::fromLocal8Bit(name))
        .arg(index + 1)
        .arg(total)
        .toLocal8Bit()
        .toStdString();
}

QtBatchProgress::~QtBatchProgress() {
    delete dialog_.data();
}

void QtBatchProgress::Begin(int total) {
    Begin(total, QT_TRANSLATE_NOOP("Progress", "Recoloring"));
}

void QtBatchProgress::Begin(int total, const std::string& action) {
    End();
    total_ = total;
    action_ = action;
    held_ = false;
    BatchRunning(true);
    clock_.start();
    auto* d = new QProgressDialog(owner_);
    d->setWindowTitle(QString::fromLocal8Bit(AppInfo::Title()));
    d->setCancelButtonText(QProgressDialog::tr("Cancel"));
    d->setRange(0, total);
    d->setWindowModality(Qt::WindowModal);
    d->setAutoClose(false);
    d->setAutoReset(false);
    // Stops the dialog's own timer: it would show the dialog from inside any
    // event loop, also over a message box that the batch is waiting on.
    d->reset();
    dialog_ = d;
}

bool QtBatchProgress::Next(int index, const std::string& name) {
    if (!dialog_) return true;
    if (dialog_->wasCanceled() || StopSignalArrived()) return false;
    dialog_->setLabelText(QString::fromLocal8Bit(BatchProgressText(index, total_, name, action_)));
    if (!shown_ && !held_ && clock_.elapsed() >= showAfterMs_) {
        // Shown for good: from now on the dialog's own timing never shows it again.
        QMetaObject::invokeMethod(dialog_.data(), "forceShow", Qt::DirectConnection);
        shown_ = true;
    }
    // Once shown, setValue lets the window-modal dialog process events, so
    // Cancel can be pressed.
    if (shown_) dialog_->setValue(index);
    return !dialog_->wasCanceled() && !StopSignalArrived();
}

void QtBatchProgress::Hold(bool held) {
    held_ = held;
    if (dialog_ && shown_) dialog_->setVisible(!held);
}

void QtBatchProgress::End() {
    shown_ = false;
    if (!dialog_) return;
    delete dialog_.data();
    dialog_ = nullptr;
    BatchRunning(false);
}

}  // namespace tintwell
