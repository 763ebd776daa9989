#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

namespace tintwell::cli {

// Each command takes the arguments after its name and returns its exit code.
int RecolorCommand(const std::vector<std::string>& args, Console& console);
int ExportIndicesCommand(const std::vector<std::string>& args, Console& console);
int MapsCommand(const std::vector<std::string>& args, Console& console);
int ShowMapCommand(const std::vector<std::string>& args, Console& console);
int InfoCommand(const std::vector<std::string>& args, Console& console);
int RestoreCommand(const std::vector<std::string>& args, Console& console);

// Reports a usage error of `command` ("" for the program itself) with a hint
// to its help; returns kUsageError.
int UsageError(Console& console, const std::string& command, const std::string& problem);
// Reports a failure of `command` that is not a usage error, as one line.
void PrintError(Console& console, const std::string& command, const std::string& problem);
// One message as one line of standard error: a CR LF inside it becomes a
// blank, any other line break (from a file name) shows as "?".
void PrintMessageLine(Console& console, const std::string& text);

}  // namespace tintwell::cli
