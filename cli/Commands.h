#pragma once

#include <cstddef>
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
// Reports that a stop signal ended `command` with `untouched` files not
// started; returns the exit code of a program ended by that signal (128 + N).
int StoppedBySignal(Console& console, const std::string& command, std::size_t untouched);
// One message as one line of standard error: a CR LF inside it becomes a
// blank; control characters and bidirectional overrides (from a file name)
// are escaped as PrintableText shows them.
void PrintMessageLine(Console& console, const std::string& text);

}  // namespace tintwell::cli
