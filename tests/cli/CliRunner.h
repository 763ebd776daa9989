#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tintwell::test {

// What one run of the program gave.
struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    // Standard error split into lines (without the line ends).
    std::vector<std::string> ErrLines() const {
        std::vector<std::string> lines;
        std::istringstream in(err);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

// Runs a program in `cwd` with standard input closed and its two outputs
// captured through files (neither a terminal, so no progress line).
inline CliResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::filesystem::path& cwd) {
    char pattern[] = "/tmp/tintwell-cli-out-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    const std::filesystem::path capture = pattern;
    const std::string outPath = (capture / "out").string();
    const std::string errPath = (capture / "err").string();
    std::vector<std::string> argvStrings = {program};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argvStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(125);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(program.c_str(), argv.data());
        ::_exit(126);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto slurp = [](const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    };
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    std::filesystem::remove_all(capture);
    return result;
}

// Runs the built tintwell-cli.
inline CliResult RunCli(const std::vector<std::string>& args,
                        const std::filesystem::path& cwd = std::filesystem::current_path()) {
    return RunProgram(TINTWELL_CLI_PATH, args, cwd);
}

}  // namespace tintwell::test
