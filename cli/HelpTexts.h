#pragma once

#include <string>

namespace tintwell::cli {

// The --help text of a command, or of the program itself for "". Empty for an
// unknown command.
std::string HelpText(const std::string& command);

}  // namespace tintwell::cli
