#include <unistd.h>

#include <string>
#include <vector>

#include "cli/CliApp.h"

int main(int argc, char** argv) {
    tintwell::cli::Console console;
    console.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return tintwell::cli::RunCli(args, console);
}
