#pragma once

#include <QPointer>
#include <QProgressDialog>

#include <string>

#include "ui/toolkit/IBatchProgress.h"

class QWidget;

namespace tintwell {

// A window-modal QProgressDialog with the file being processed and a Cancel
// button. It appears only when the batch is expected to take longer than
// `showAfterMs`, so a short batch shows nothing.
class QtBatchProgress : public IBatchProgress {
  public:
    explicit QtBatchProgress(QWidget* owner = nullptr, int showAfterMs = 700)
        : owner_(owner), showAfterMs_(showAfterMs) {}
    ~QtBatchProgress() override;

    void SetOwner(QWidget* owner) { owner_ = owner; }

    void Begin(int total) override;
    void Begin(int total, const std::string& action) override;
    bool Next(int index, const std::string& name) override;
    void End() override;

    // The dialog while a batch runs (null otherwise).
    QProgressDialog* Dialog() const { return dialog_.data(); }

  private:
    QWidget* owner_;
    int showAfterMs_;
    int total_ = 0;
    std::string action_;
    QPointer<QProgressDialog> dialog_;
};

// "Recoloring name (2 of 30)": the text the dialog shows for file `index`.
std::string BatchProgressText(int index, int total, const std::string& name,
                              const std::string& action = "Recoloring");

}  // namespace tintwell
