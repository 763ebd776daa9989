#pragma once

#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "core/IMessageBox.h"

namespace tintwell::cli {

// The message boxes of a batch as lines of standard error, each after the
// progress line (when there is one) is cleared away.
class PrintedMessages : public IMessageBox {
  public:
    PrintedMessages(Console& console, ProgressLine* progress = nullptr)
        : console_(console), progress_(progress) {}
    MsgResult Show(const MessageRequest& request) override {
        if (progress_ != nullptr) progress_->Clear();
        PrintMessageLine(console_, request.text);
        return MsgResult::OK;
    }

  private:
    Console& console_;
    ProgressLine* progress_;
};

}  // namespace tintwell::cli
