#pragma once

#include <string>

namespace tintwell {

enum class MsgButtons { OK, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Question, Error };
enum class MsgResult { OK, Yes, No, Cancel };

// What a message box shows. An empty title means the program's own ("Tintwell").
struct MessageRequest {
    std::string text;
    std::string title;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    // 0-based position of the default button among `buttons` (Yes/No/Cancel order).
    int defaultButton = 0;
};

// How the logic shows a modal message box. The Qt toolkit implements it for the
// windows; tests implement it with a scripted double that records what was shown.
class IMessageBox {
  public:
    virtual ~IMessageBox() = default;
    // Shows the message and returns the button pressed.
    virtual MsgResult Show(const MessageRequest& request) = 0;
};

}  // namespace tintwell
