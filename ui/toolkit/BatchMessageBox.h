#pragma once

#include "core/IMessageBox.h"
#include "ui/toolkit/IBatchProgress.h"

namespace tintwell {

// The message boxes of a running batch: each one holds the batch's progress
// while it is up, so the message is on top and answerable, and is counted, so
// the batch knows which files it has already reported.
class BatchMessageBox : public IMessageBox {
  public:
    BatchMessageBox(IMessageBox& messages, IBatchProgress& progress)
        : messages_(messages), progress_(progress) {}

    MsgResult Show(const MessageRequest& request) override {
        ++shown_;
        progress_.Hold(true);
        const MsgResult result = messages_.Show(request);
        progress_.Hold(false);
        return result;
    }
    int ShownCount() const { return shown_; }

  private:
    IMessageBox& messages_;
    IBatchProgress& progress_;
    int shown_ = 0;
};

}  // namespace tintwell
