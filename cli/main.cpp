#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/CliApp.h"
#include "workspace/StopSignals.h"

int main(int argc, char** argv) {
    // A file-size limit then fails the write (EFBIG, reported as a full disk)
    // instead of killing the program in the middle of a batch.
    ::signal(SIGXFSZ, SIG_IGN);
    // A reader that goes away (`| head`) fails the write, which ends quietly.
    ::signal(SIGPIPE, SIG_IGN);
    tintwell::CatchStopSignals();
    tintwell::cli::Console console;
    console.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return tintwell::cli::RunCli(args, console);
}
