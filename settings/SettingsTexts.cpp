#include "settings/SettingsTexts.h"

namespace tintwell {

std::span<const char* const> SettingsTexts() {
    static const char* const texts[] = {
        TINTWELL_TEXT("Logic", "Could not save INI file."),
        TINTWELL_TEXT("Logic", "clsINI.SaveFile: %1"),
        TINTWELL_TEXT("Logic", "No file name has been set."),
        TINTWELL_TEXT("Logic",
                      "%1. The file is left as it is; changes are kept for this run only."),
        TINTWELL_TEXT("Logic", "Cannot allow saving of INI data"),
        TINTWELL_TEXT("Logic",
                      "Cannot allow INI file saving.  Currently using an internal INI string."),
    };
    return texts;
}

}  // namespace tintwell
