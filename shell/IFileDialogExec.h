#pragma once

class QFileDialog;

namespace tintwell {

// Runs a fully set-up file dialog modally. The windows use QtFileDialogExec;
// tests put a scripted runner here that inspects the dialog and answers it.
class IFileDialogExec {
  public:
    virtual ~IFileDialogExec() = default;
    // Returns QDialog::Accepted or QDialog::Rejected.
    virtual int Exec(QFileDialog& dialog) = 0;
};

// The real thing: QFileDialog::exec.
class QtFileDialogExec final : public IFileDialogExec {
  public:
    int Exec(QFileDialog& dialog) override;
};

}  // namespace tintwell
