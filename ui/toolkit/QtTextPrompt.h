#pragma once

#include "ui/toolkit/ITextPrompt.h"

class QWidget;

namespace tintwell {

// Text prompt on Qt (QInputDialog::getText), owned by the given window.
class QtTextPrompt : public ITextPrompt {
  public:
    explicit QtTextPrompt(QWidget* owner = nullptr) : owner_(owner) {}

    void SetOwner(QWidget* owner) { owner_ = owner; }

    std::string Ask(const PromptRequest& request) override;

  private:
    QWidget* owner_;
};

}  // namespace tintwell
