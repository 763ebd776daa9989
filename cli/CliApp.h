#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

namespace tintwell::cli {

// The whole program: `args` are the arguments after the program's name.
// Returns the exit code.
int RunCli(const std::vector<std::string>& args, Console& console);

}  // namespace tintwell::cli
