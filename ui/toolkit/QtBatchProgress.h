#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

#include <string>

#include "ui/toolkit/IBatchProgress.h"

class QWidget;

namespace tintwell {

// A window-modal QProgressDialog with the file being processed and a Cancel
// button. It appears at the first file that starts after `showAfterMs`, so a
// short batch shows nothing, and it is hidden while a message is up.
class QtBatchProgress : public IBatchProgress {
  public:
    explicit QtBatchProgress(QWidget* owner = nullptr, int showAfterMs = 700)
        : owner_(owner), showAfterMs_(showAfterMs) {}
    ~QtBatchProgress() override;

    void SetOwner(QWidget* owner) { owner_ = owner; }

    void Begin(int total) override;
    void Begin(int total, const std::string& action) override;
    bool Next(int index, const std::string& name) override;
    void Hold(bool held) override;
    void End() override;

    // The dialog while a batch runs (null otherwise).
    QProgressDialog* Dialog() const { return dialog_.data(); }

  private:
    QWidget* owner_;
    int showAfterMs_;
    int total_ = 0;
    bool shown_ = false;
    bool held_ = false;
    QElapsedTimer clock_;
    std::string action_;
    QPointer<QProgressDialog> dialog_;
};

// "Recoloring name (2 of 30)": the text the dialog shows for file `index`.
std::string BatchProgressText(int index, int total, const std::string& name,
                              const std::string& action = "Recoloring");

}  // namespace tintwell
