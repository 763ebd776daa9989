#pragma once

#include <filesystem>

#include "core/ColorMap.h"
#include "core/ColorMapHistory.h"
#include "core/IMessageBox.h"
#include "settings/SettingsFile.h"
#include "ui/toolkit/AppInfo.h"
#include "ui/toolkit/ITextPrompt.h"

namespace tintwell {

// The program-wide state, built once by the program's entry point (or afresh by
// each test) and handed to the windows: the one colour map with its changed
// flag and its undo history, the settings document of Tintwell.ini, and the
// message-box and prompt services every window asks through.
class Application {
  public:
    Application(AppInfo info, IMessageBox& messages, ITextPrompt& prompt);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const AppInfo& Info() const { return info_; }

    // The colour map (identity until filled from the settings) and ColorMapChanged.
    ColorMap& Map() { return map_; }
    const ColorMap& Map() const { return map_; }
    // The user's changes of the map go through its history, so they can be undone.
    ColorMapHistory& History() { return history_; }

    SettingsFile& Settings() { return settings_; }
    const SettingsFile& Settings() const { return settings_; }

    IMessageBox& Messages() { return messages_; }
    ITextPrompt& Prompt() { return prompt_; }

  private:
    AppInfo info_;
    IMessageBox& messages_;
    ITextPrompt& prompt_;
    ColorMap map_;
    SettingsFile settings_;
    ColorMapHistory history_;
};

}  // namespace tintwell
