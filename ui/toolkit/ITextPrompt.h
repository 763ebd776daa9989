#pragma once

#include <string>

namespace tintwell {

// What a text prompt shows. An empty title means the program's own ("Tintwell").
struct PromptRequest {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

// A modal prompt for one line of text with OK and Cancel. The Qt toolkit
// implements it for the windows; tests answer it from a script.
class ITextPrompt {
  public:
    virtual ~ITextPrompt() = default;
    // Returns the text entered, or the empty string when the user cancels.
    virtual std::string Ask(const PromptRequest& request) = 0;
};

}  // namespace tintwell
