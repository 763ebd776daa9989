#include "ui/toolkit/Application.h"

namespace tintwell {

Application::Application(AppInfo info, IMessageBox& messages, ITextPrompt& prompt)
    : info_(std::move(info)),
      messages_(messages),
      prompt_(prompt),
      settings_(messages, std::filesystem::path(info_.StartFolder()),
                std::filesystem::path(info_.SettingsFolder())),
      maps_(settings_) {}

}  // namespace tintwell
