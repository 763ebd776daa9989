#pragma once

#include "core/IMessageBox.h"

class QWidget;

namespace tintwell {

// Modal message box on Qt: the request's icon, buttons and default button, the
// program's title when the request names none, centred on the owner window.
class QtMessageBox : public IMessageBox {
  public:
    explicit QtMessageBox(QWidget* owner = nullptr) : owner_(owner) {}

    // The window the boxes belong to; may change as windows come and go.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    QWidget* Owner() const { return owner_; }

    MsgResult Show(const MessageRequest& request) override;

  private:
    QWidget* owner_;
};

}  // namespace tintwell
