#pragma once

#include <deque>
#include <vector>

#include "core/IMessageBox.h"

namespace tintwell::test {

// Message box double: records every request and answers from a script, or with
// the default button when the script is empty.
class RecordingMessageBox : public IMessageBox {
  public:
    MsgResult Show(const MessageRequest& request) override {
        shown.push_back(request);
        if (!answers.empty()) {
            MsgResult r = answers.front();
            answers.pop_front();
            return r;
        }
        return DefaultAnswer(request);
    }

    static MsgResult DefaultAnswer(const MessageRequest& r) {
        switch (r.buttons) {
            case MsgButtons::OK:
                return MsgResult::OK;
            case MsgButtons::YesNo:
                return r.defaultButton == 1 ? MsgResult::No : MsgResult::Yes;
            case MsgButtons::YesNoCancel:
                return r.defaultButton == 2   ? MsgResult::Cancel
                       : r.defaultButton == 1 ? MsgResult::No
                                              : MsgResult::Yes;
        }
        return MsgResult::OK;
    }

    std::vector<MessageRequest> shown;
    std::deque<MsgResult> answers;
};

}  // namespace tintwell::test
