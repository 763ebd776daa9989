#pragma once

#include <QString>

#include <cstdint>
#include <string>

#include "core/IMessageBox.h"
#include "shell/IUrlOpener.h"

namespace tintwell {

// Shell results used by the URL openers: above 32 is success.
inline constexpr std::int32_t kShellSuccess = 42;
inline constexpr std::int32_t kShellFileNotFound = 2;
inline constexpr std::int32_t kShellNoAssociation = 31;

// Opens `target` (a web address, or "mailto:" and an e-mail address) with `opener`;
// a failure is shown in a message box naming the shell error code.
void OpenURL(const QString& target, IUrlOpener& opener, IMessageBox& messages);

// The readable text of a shell error code; "Unknown Error" for codes not listed.
std::string ShellExecuteErrorText(std::int32_t code);

// The whole message OpenURL shows for `code`.
std::string OpenURLErrorText(std::int32_t code);

}  // namespace tintwell
