#include <algorithm>
#include <thread>

#include "bitmap/clsBitmap.h"
#include "cli/CliSettings.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/HelpTexts.h"
#include "cli/MapArguments.h"
#include "cli/PrintedMessages.h"
#include "cli/ProgressLine.h"
#include "workspace/ColorPairs.h"
#include "workspace/FileBatch.h"
#include "workspace/ImageFileList.h"
#include "workspace/StopSignals.h"

namespace tintwell::cli {
namespace {

constexpr const char* kName = "recolor";

CommandLine RecolorOptions() {
    return CommandLine({{"help", 'h', false},
                        {"map", 'm', true},
                        {"pairs", 'p', true},
                        {"settings", 's', true},
                        {"backup", 0, false},
                        {"no-backup", 0, false},
                        {"select", 0, true},
                        {"outside", 0, false},
                        {"recursive", 'r', false},
                        {"jobs", 'j', true},
                        {"quiet", 'q', false}});
}

int DefaultJobs() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 1024u));
}

std::string SummaryLine(std::size_t recolored, std::size_t total, std::size_t refused,
                        std::size_t same) {
    std::string line = "Recolored ";
    line.append(std::to_string(recolored)).append(" of ").append(std::to_string(total));
    line.append(total == 1 ? " file." : " files.");
    if (refused > 0) line.append(" ").append(std::to_string(refused)).append(" refused.");
    if (same > 0)
        line.append(" ")
            .append(std::to_string(same))
            .append(same == 1 ? " was" : " were")
            .append(" the same file as another.");
    return line;
}

// Works out map, backup, selection and jobs from the command line: nothing
// when the command may go on, else the exit code of a usage error (reported).
std::optional<int> PrepareRun(const CommandLine& cl, Console& console, FileBatch::Recoloring& run,
                              int& jobs) {
    if (cl.Operands().empty()) return UsageError(console, kName, "no files or folders given");
    if (!cl.Has("map") && !cl.Has("pairs"))
        return UsageError(console, kName, "no color map given: use --map NAME or --pairs LIST");
    std::string error;
    if (cl.Has("select") && !ParseSelection(*cl.Value("select"), run.selection, error))
        return UsageError(console, kName, error);
    run.outside = cl.Has("outside");
    jobs = DefaultJobs();
    if (cl.Has("jobs") && !ParseJobs(*cl.Value("jobs"), jobs, error))
        return UsageError(console, kName, error);

    // The settings file is read only when something has to come from it.
    const std::string backupChoice = cl.LastOf({"backup", "no-backup"});
    CliSettings settings;
    if (cl.Has("map") || backupChoice.empty() || cl.Has("settings")) {
        if (!settings.Load(cl.Value("settings")))
            return UsageError(console, kName, settings.LastError());
    }
    run.backup = backupChoice.empty() ? settings.BackupBMPs() : backupChoice == "backup";
    if (cl.Has("map")) {
        const std::string name = *cl.Value("map");
        const std::int32_t n = settings.Maps().Find(name);
        if (n == 0)
            return UsageError(
                console, kName,
                "no color map named \"" + name + "\" in \"" + settings.Path().string() + "\"");
        const ColorMapEntries entries = settings.Maps().Read(n);
        for (std::size_t i = 0; i < entries.size(); ++i)
            run.map.SetEntry(static_cast<std::uint8_t>(i), entries[i]);
    }
    PairsSeen seen;
    for (const std::string& pairs : cl.Values("pairs"))
        if (!ApplyPairs(pairs, run.map, seen, error)) return UsageError(console, kName, error);
    return std::nullopt;
}

// A selection that holds no pixel of any image would rewrite them all, and
// back them up, without changing a pixel: the problem, naming the first image
// and its size, or "" when some image has a pixel in it.
std::string EmptySelection(const FileBatch::Recoloring& run,
                           const std::vector<std::filesystem::path>& files) {
    const SelectionRect& s = run.selection;
    if (run.outside || s.IsNoSelection()) return {};
    std::string problem;
    for (const std::filesystem::path& file : files) {
        clsBitmap image;
        if (!image.LoadFromFile(file, BitmapParts::Headers)) continue;
        const std::int64_t w = image.Width(), h = image.Height();
        if (s.w > 0 && s.h > 0 && s.x0 < w && s.y0 < h) return {};
        if (problem.empty())
            problem = "the selection " + std::to_string(s.x0) + "," + std::to_string(s.y0) + "," +
                      std::to_string(s.w) + "," + std::to_string(s.h) + " holds no pixel of \"" +
                      file.string() + "\", which is " + std::to_string(w) + " x " +
                      std::to_string(h) + " pixels";
    }
    return problem;
}

}  // namespace

int RecolorCommand(const std::vector<std::string>& args, Console& console) {
    CommandLine cl = RecolorOptions();
    if (!cl.Parse(args)) return UsageError(console, kName, cl.LastError());
    if (cl.Has("help")) {
        std::fputs(HelpText(kName).c_str(), console.out);
        return kAllDone;
    }
    FileBatch::Recoloring run;
    int jobs = 1;
    if (const std::optional<int> code = PrepareRun(cl, console, run, jobs)) return *code;

    ImageFileList list(cl.Has("recursive"));
    for (const std::string& operand : cl.Operands())
        list.Add(operand);
    for (const std::string& folderError : list.Errors())
        PrintMessageLine(console, folderError);

    const std::vector<std::filesystem::path>& files = list.Files();
    if (const std::string empty = EmptySelection(run, files); !empty.empty())
        return UsageError(console, kName, empty);
    ProgressLine progress(console.err, console.errIsTerminal, files.size(), "Recoloring");
    PrintedMessages messages(console, &progress);
    // A stop signal ends the batch between files.
    const BatchTotals totals =
        FileBatch::Recolor(run, jobs).Run(files, messages, {}, [&](std::size_t finished, auto&) {
            progress.Update(finished);
            return StopSignal() == 0;
        });
    progress.Clear();

    if (!cl.Has("quiet")) {
        std::fputs(
            (SummaryLine(totals.done, files.size(), totals.refused, totals.same) + "\n").c_str(),
            console.out);
        std::fflush(console.out);
    }
    if (totals.stopped)  // only a stop signal stops a batch
        return StoppedBySignal(console, kName, files.size() - totals.worked);
    return totals.refused > 0 || !list.Errors().empty() ? kSomeRefused : kAllDone;
}

}  // namespace tintwell::cli
