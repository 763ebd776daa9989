#pragma once

#include <cstdio>

namespace tintwell::cli {

// Exit codes of every command.
enum ExitCode : int {
    kAllDone = 0,      // everything asked for was done
    kSomeRefused = 1,  // at least one file was refused or could not be handled
    kUsageError = 2,   // the command line was wrong; nothing was done
};

// Where a command writes: its results on `out`, refusals, errors and the
// progress line on `err`. The progress line is drawn only when `err` is a terminal.
struct Console {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    bool errIsTerminal = false;
};

}  // namespace tintwell::cli
