#include "cli/CliSettings.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/HelpTexts.h"
#include "cli/PrintableText.h"
#include "workspace/MapStore.h"

namespace tintwell::cli {
namespace {

// Parses the options of maps / show-map and loads the settings file; returns
// -1 when the command may go on, else its exit code.
int Prepare(const std::string& command, const std::vector<std::string>& args, std::size_t operands,
            Console& console, CommandLine& cl, CliSettings& settings) {
    if (!cl.Parse(args)) return UsageError(console, command, cl.LastError());
    if (cl.Has("help")) {
        std::fputs(HelpText(command).c_str(), console.out);
        return kAllDone;
    }
    if (cl.Operands().size() < operands)
        return UsageError(console, command, "the name of a stored color map is missing");
    if (cl.Operands().size() > operands)
        return UsageError(console, command,
                          "unexpected argument \"" + cl.Operands()[operands] + "\"");
    if (!settings.Load(cl.Value("settings")))
        return UsageError(console, command, settings.LastError());
    return -1;
}

}  // namespace

int MapsCommand(const std::vector<std::string>& args, Console& console) {
    CommandLine cl({{"help", 'h', false}, {"settings", 's', true}});
    CliSettings settings;
    if (const int code = Prepare("maps", args, 0, console, cl, settings); code >= 0) return code;
    const MapStore& maps = settings.Maps();
    const std::int32_t count = maps.Count();
    if (count == 0) {
        std::fprintf(console.err, "No color maps are stored in \"%s\".\n",
                     settings.Path().string().c_str());
        return kAllDone;
    }
    std::fputs("Map  Changed  Name\n", console.out);
    for (std::int32_t n = 1; n <= count; ++n)
        std::fprintf(console.out, "%3d  %7d  %s\n", n, ChangedEntries(maps.Read(n)),
                     PrintableText(maps.Name(n)).c_str());
    return kAllDone;
}

int ShowMapCommand(const std::vector<std::string>& args, Console& console) {
    CommandLine cl({{"help", 'h', false}, {"settings", 's', true}});
    CliSettings settings;
    if (const int code = Prepare("show-map", args, 1, console, cl, settings); code >= 0)
        return code;
    const std::string& name = cl.Operands()[0];
    const MapStore& maps = settings.Maps();
    const std::int32_t n = maps.Find(name);
    if (n == 0)
        return UsageError(console, "show-map",
                          "no color map named \"" + PrintableText(name) + "\" in \"" +
                              settings.Path().string() + "\"");
    const ColorMapEntries map = maps.Read(n);
    std::fprintf(console.out, "Map %d \"%s\": %d of 256 entries change a color.\n", n,
                 PrintableText(maps.Name(n)).c_str(), ChangedEntries(map));
    for (int i = 0; i < 256; ++i)
        if (map[i] != i) std::fprintf(console.out, "%3d -> %d\n", i, map[i]);
    return kAllDone;
}

}  // namespace tintwell::cli
