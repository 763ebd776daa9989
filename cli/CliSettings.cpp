#include "cli/CliSettings.h"

#include <unistd.h>

#include <system_error>

#include "workspace/SettingsLocation.h"

namespace tintwell::cli {
namespace fs = std::filesystem;

// The settings are only read here; a write (and so a message) never happens.
class CliSettings::SilentMessages : public IMessageBox {
  public:
    MsgResult Show(const MessageRequest&) override { return MsgResult::OK; }
};

CliSettings::CliSettings() : messages_(std::make_unique<SilentMessages>()) {
    settings_ =
        std::make_unique<SettingsFile>(*messages_, ProgramFolder(), DefaultPath().parent_path());
    maps_ = std::make_unique<MapStore>(*settings_);
}

CliSettings::~CliSettings() = default;

fs::path CliSettings::ProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}

fs::path CliSettings::DefaultPath() {
    const fs::path program = ProgramFolder();
    return SettingsLocation::SettingsFolder(program, SettingsLocation::UserConfigFolder()) /
           SettingsLocation::kFileName;
}

bool CliSettings::Load(const std::optional<std::string>& file) {
    std::error_code ec;
    if (!file) {
        path_ = settings_->Path();
    } else {
        path_ = *file;
        if (!fs::exists(path_, ec)) {
            lastError_ = "settings file \"" + path_.string() + "\" not found";
            return false;
        }
    }
    if (!settings_->Ini().LoadINI(path_.string())) {
        lastError_ = "settings file \"" + path_.string() +
                     "\" could not be read: " + settings_->Ini().LastError();
        return false;
    }
    return true;
}

}  // namespace tintwell::cli
