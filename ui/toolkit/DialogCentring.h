#pragma once

#include <QObject>

namespace tintwell {

// Opens every dialog centred over the window that owns it, frame over frame,
// and on the owner's screen. The dialog's frame is not known before it is
// shown; the owner's, from the same window manager, stands in for it.
// Installed on the application for as long as it lives.
class DialogCentring : public QObject {
    Q_OBJECT
  public:
    explicit DialogCentring(QObject* parent = nullptr) : QObject(parent) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tintwell
