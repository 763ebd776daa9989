#pragma once

#include <QFileDialog>
#include <QSortFilterProxyModel>
#include <functional>

namespace tintwell {

// The Qt file dialog that IFileDialog shows, with the hooks its events need:
// first show, a veto on confirming, and an answer to the overwrite question.
class FileDialogWidget : public QFileDialog {
    Q_OBJECT
  public:
    explicit FileDialogWidget(QWidget* parent);

    // Raised the first time the dialog becomes visible.
    std::function<void()> onFirstShow;
    // Asked before the dialog closes with OK; false keeps it open.
    std::function<bool()> onFileOk;
    // A save dialog confirmed on an existing file: 0 ask as usual, 1 accept
    // without asking, 2 refuse and stay open.
    std::function<int(const QString& path)> onOverwrite;

    void accept() override;
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool shown_ = false;
};

// Hides the entries for which `deny` answers true.
class FileDialogItemFilter : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit FileDialogItemFilter(std::function<bool(const QString& path)> deny, QObject* parent);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    std::function<bool(const QString& path)> deny_;
};

}  // namespace tintwell
