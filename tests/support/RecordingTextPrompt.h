#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/toolkit/ITextPrompt.h"

namespace tintwell::test {

// Text prompt double: records every request and answers from a script; with the
// script empty it answers as Cancel does (the empty string).
class RecordingTextPrompt : public ITextPrompt {
  public:
    std::string Ask(const PromptRequest& request) override {
        shown.push_back(request);
        if (answers.empty()) return {};
        std::string r = answers.front();
        answers.pop_front();
        return r;
    }

    std::vector<PromptRequest> shown;
    std::deque<std::string> answers;
};

}  // namespace tintwell::test
