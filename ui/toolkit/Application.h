#pragma once

#include <filesystem>

#include "core/IMessageBox.h"
#include "settings/SettingsFile.h"
#include "ui/toolkit/AppInfo.h"
#include "ui/toolkit/ITextPrompt.h"
#include "workspace/MapStore.h"
#include "workspace/Session.h"

namespace tintwell {

// The program-wide state, built once by the program's entry point (or afresh by
// each test) and handed to the windows: the session (folder, selected file,
// colour map and its history), the settings document of Tintwell.ini, and the
// message-box and prompt services every window asks through.
class Application {
  public:
    Application(AppInfo info, IMessageBox& messages, ITextPrompt& prompt);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const AppInfo& Info() const { return info_; }

    // What the user works on; the colour map and its history are the session's.
    Session& CurrentSession() { return session_; }
    ColorMap& Map() { return session_.Map(); }
    const ColorMap& Map() const { return session_.Map(); }
    ColorMapHistory& History() { return session_.History(); }

    SettingsFile& Settings() { return settings_; }
    const SettingsFile& Settings() const { return settings_; }
    // The colour maps stored in the settings.
    MapStore& Maps() { return maps_; }

    IMessageBox& Messages() { return messages_; }
    ITextPrompt& Prompt() { return prompt_; }

  private:
    AppInfo info_;
    IMessageBox& messages_;
    ITextPrompt& prompt_;
    Session session_;
    SettingsFile settings_;
    MapStore maps_;
};

}  // namespace tintwell
