#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/HelpTexts.h"
#include "cli/PrintableText.h"
#include "cli/PrintedMessages.h"
#include "core/Quoted.h"
#include "workspace/FileBatch.h"
#include "workspace/ImageFileList.h"
#include "workspace/StopSignals.h"

namespace tintwell::cli {
namespace {

constexpr const char* kName = "restore";

void PrintOutcome(Console& console, const std::filesystem::path& file, const RestoreOutcome& done,
                  bool dryRun) {
    std::string line = (dryRun ? "Would restore " : "Restored ") + Quoted(file) + " from " +
                       Quoted(done.from.filename());
    if (!dryRun) line += "; its contents before are kept as " + Quoted(done.keptAs.filename());
    line = PrintableText(line + ".") + "\n";
    std::fputs(line.c_str(), console.out);
    std::fflush(console.out);
}

}  // namespace

int RestoreCommand(const std::vector<std::string>& args, Console& console) {
    CommandLine cl({{"help", 'h', false},
                    {"dry-run", 'n', false},
                    {"recursive", 'r', false},
                    {"quiet", 'q', false}});
    if (!cl.Parse(args)) return UsageError(console, kName, cl.LastError());
    if (cl.Has("help")) {
        std::fputs(HelpText(kName).c_str(), console.out);
        return kAllDone;
    }
    if (cl.Operands().empty()) return UsageError(console, kName, "no files or folders given");
    const bool dryRun = cl.Has("dry-run");
    ImageFileList list(cl.Has("recursive"));
    for (const std::string& operand : cl.Operands())
        list.Add(operand);
    for (const std::string& folderError : list.Errors())
        PrintMessageLine(console, folderError);

    const std::vector<std::filesystem::path>& files = list.Files();
    PrintedMessages messages(console);
    const bool quiet = cl.Has("quiet");
    // A file named twice (or through a link) is restored once: a second
    // restore would undo the first.
    const BatchTotals totals = FileBatch::Restore(dryRun).Run(
        files, messages,
        [&](std::size_t i, const BatchFileResult& result) {
            if (result.outcome == BatchFileResult::Outcome::Done && !quiet)
                PrintOutcome(console, files[i], result.restore, dryRun);
        },
        [](std::size_t, auto&) {
            return StopSignal() == 0;
        });  // a stop signal ends it between files
    const std::size_t distinct = files.size() - totals.same;
    if (!quiet) {
        std::fprintf(console.out, "%s %zu of %zu %s.\n", dryRun ? "Would restore" : "Restored",
                     totals.done, distinct, distinct == 1 ? "file" : "files");
        std::fflush(console.out);
    }
    if (totals.stopped)  // only a stop signal stops a batch
        return StoppedBySignal(console, kName, files.size() - totals.worked);
    return totals.refused > 0 || !list.Errors().empty() ? kSomeRefused : kAllDone;
}

}  // namespace tintwell::cli
