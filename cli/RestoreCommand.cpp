#include <sys/stat.h>

#include <set>
#include <utility>

#include "cli/BmpFileList.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/HelpTexts.h"
#include "cli/PrintableText.h"
#include "cli/StopSignals.h"
#include "core/BackupIndex.h"
#include "core/IMessageBox.h"
#include "core/modRestore.h"

namespace tintwell::cli {
namespace {

constexpr const char* kName = "restore";

// Prints each message as one line of standard error.
class PrintedMessages : public IMessageBox {
  public:
    explicit PrintedMessages(Console& console) : console_(console) {}
    MsgResult Show(const MessageRequest& request) override {
        PrintMessageLine(console_, request.text);
        return MsgResult::OK;
    }

  private:
    Console& console_;
};

// The listed files without repeats (the same file named twice, or through a
// link): restoring a file twice would undo the first restore.
std::vector<std::filesystem::path> WithoutRepeats(const std::vector<std::filesystem::path>& files) {
    std::set<std::pair<dev_t, ino_t>> seen;
    std::vector<std::filesystem::path> unique;
    for (const std::filesystem::path& file : files) {
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second) continue;
        unique.push_back(file);
    }
    return unique;
}

// Built up in place: GCC 12 at -O3 warns wrongly about "literal" + string.
std::string Quoted(const std::filesystem::path& path) {
    std::string quoted(1, '"');
    quoted += path.string();
    quoted += '"';
    return quoted;
}

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
    BmpFileList list(cl.Has("recursive"));
    for (const std::string& operand : cl.Operands())
        list.Add(operand);
    for (const std::string& folderError : list.Errors())
        PrintMessageLine(console, folderError);

    const std::vector<std::filesystem::path> files = WithoutRepeats(list.Files());
    PrintedMessages messages(console);
    std::size_t restored = 0;
    std::size_t started = 0;
    BackupIndex backups;
    for (const std::filesystem::path& file : files) {
        if (StopSignal() != 0) break;
        ++started;
        const RestoreOutcome done = RestoreFromBackup(file, dryRun, messages, &backups);
        if (!done.restored) continue;
        ++restored;
        if (!cl.Has("quiet")) PrintOutcome(console, file, done, dryRun);
    }
    if (!cl.Has("quiet")) {
        std::fprintf(console.out, "%s %zu of %zu %s.\n", dryRun ? "Would restore" : "Restored",
                     restored, files.size(), files.size() == 1 ? "file" : "files");
        std::fflush(console.out);
    }
    if (StopSignal() != 0) return StoppedBySignal(console, kName, files.size() - started);
    return restored < files.size() || !list.Errors().empty() ? kSomeRefused : kAllDone;
}

}  // namespace tintwell::cli
