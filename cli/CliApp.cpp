#include "cli/CliApp.h"

#include <cstdio>
#include <new>

#include "cli/Commands.h"
#include "cli/HelpTexts.h"
#include "cli/PrintableText.h"
#include "workspace/StopSignals.h"

namespace tintwell::cli {

int UsageError(Console& console, const std::string& command, const std::string& problem) {
    const std::string who = command.empty() ? "tintwell-cli" : "tintwell-cli " + command;
    std::fprintf(console.err, "%s: %s\nTry \"%s --help\".\n", who.c_str(),
                 PrintableText(problem).c_str(), who.c_str());
    return kUsageError;
}

void PrintError(Console& console, const std::string& command, const std::string& problem) {
    std::fprintf(console.err, "tintwell-cli %s: %s\n", command.c_str(),
                 PrintableText(problem).c_str());
}

void PrintMessageLine(Console& console, const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            line += ' ';  // a message's own line break
            ++i;
        } else {
            line += text[i];
        }
    }
    line = PrintableText(line) + '\n';
    std::fputs(line.c_str(), console.err);
    std::fflush(console.err);
}

int StoppedBySignal(Console& console, const std::string& command, std::size_t untouched) {
    PrintError(console, command,
               "stopped by signal " + std::to_string(StopSignal()) + "; " +
                   std::to_string(untouched) + (untouched == 1 ? " file was" : " files were") +
                   " left untouched");
    return 128 + StopSignal();
}

static int RunCommand(const std::vector<std::string>& args, Console& console) {
    if (args.empty()) return UsageError(console, "", "no command given");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        const std::string topic = rest.empty() ? "" : rest[0];
        const std::string text = HelpText(topic);
        if (text.empty()) return UsageError(console, "", "unknown command \"" + topic + "\"");
        std::fputs(text.c_str(), console.out);
        return kAllDone;
    }
    if (command == "--version") {
        std::fputs("tintwell-cli " TINTWELL_VERSION "\n", console.out);
        return kAllDone;
    }
    if (command == "recolor") return RecolorCommand(rest, console);
    if (command == "export-indices") return ExportIndicesCommand(rest, console);
    if (command == "maps") return MapsCommand(rest, console);
    if (command == "show-map") return ShowMapCommand(rest, console);
    if (command == "info") return InfoCommand(rest, console);
    if (command == "restore") return RestoreCommand(rest, console);
    return UsageError(console, "", "unknown command \"" + command + "\"");
}

// A lack of memory ends the command with a message, never with an abort.
int RunCli(const std::vector<std::string>& args, Console& console) {
    try {
        return RunCommand(args, console);
    } catch (const std::bad_alloc&) {
        std::fflush(console.out);
        PrintError(console, args.empty() ? "" : args[0], "there is not enough memory");
        return kSomeRefused;
    }
}

}  // namespace tintwell::cli
