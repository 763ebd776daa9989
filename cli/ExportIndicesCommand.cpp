#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <system_error>

#include "bitmap/clsBitmap.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/HelpTexts.h"
#include "core/Quoted.h"
#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "png/ImageFile.h"

namespace tintwell::cli {
namespace {

namespace fs = std::filesystem;
constexpr const char* kName = "export-indices";

// Why the image's list cannot be written, or "" when it can.
std::string Refusal(const std::string& path, const clsBitmap& bitmap, bool loaded) {
    const char* const nothing = "; no color index list was written.";
    switch (FindRecolorProblem(bitmap, loaded)) {
        case RecolorProblem::None:
            return {};
        case RecolorProblem::NotEightBit:
            return Quoted(path) + " is not a 256 color BMP" + nothing;
        case RecolorProblem::Unsupported:
            return Quoted(path) + " is a 256 color BMP, but " + bitmap.Unsupported() +
                   " is not supported" + nothing;
        case RecolorProblem::Damaged:
            return Quoted(path) + " has damaged compressed pixel data: " + bitmap.StreamDamage() +
                   nothing;
        case RecolorProblem::LoadFailed:
            return Quoted(path) + " could not be read: " + bitmap.LastError() + nothing;
        case RecolorProblem::PixelsCutShort:
            return Quoted(path) + " is cut short: its pixel data does not cover the whole image" +
                   nothing;
    }
    return {};
}

// Why `output` must not be written, or "" when it may: it is the image itself
// (under any name), or a loop of symbolic links.
std::string OutputRefusal(const std::string& image, const std::string& output) {
    struct stat in {
    }, out{};
    if (::stat(output.c_str(), &out) != 0)
        return errno == ELOOP ? Quoted(output) +
                                    " is a loop of symbolic links; no color index list was written."
                              : std::string();
    if (::stat(image.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
        return Quoted(output) + " is the image itself; no color index list was written.";
    return {};
}

// Writes the table a block of rows at a time: the image is checked first, so
// only a failing output can leave part of a list.
bool WriteToStandardOutput(const clsBitmap& bitmap, Console& console, std::string& error) {
    const auto write = [&](const std::string& block) {
        return std::fwrite(block.data(), 1, block.size(), console.out) == block.size();
    };
    if (WriteColorIndexRows(bitmap, write, error) && std::fflush(console.out) == 0) return true;
    if (error.empty())
        error = "could not write to standard output: " +
                std::error_code(errno, std::generic_category()).message();
    return false;
}

}  // namespace

int ExportIndicesCommand(const std::vector<std::string>& args, Console& console) {
    CommandLine cl({{"help", 'h', false}, {"output", 'o', true}});
    if (!cl.Parse(args)) return UsageError(console, kName, cl.LastError());
    if (cl.Has("help")) {
        std::fputs(HelpText(kName).c_str(), console.out);
        return kAllDone;
    }
    if (cl.Operands().empty()) return UsageError(console, kName, "no image given");
    if (cl.Operands().size() > 1)
        return UsageError(console, kName, "unexpected argument \"" + cl.Operands()[1] + "\"");
    const std::string& path = cl.Operands()[0];
    if (MessageRequest problem; FindFileProblem(path, problem)) {
        PrintMessageLine(console, problem.text);
        return kSomeRefused;
    }
    if (cl.Has("output")) {
        if (const std::string refusal = OutputRefusal(path, *cl.Value("output"));
            !refusal.empty()) {
            PrintMessageLine(console, refusal);
            return kSomeRefused;
        }
    }
    clsBitmap bitmap;
    ImageLoad png;
    const bool loaded = LoadImageFile(path, bitmap, BitmapParts::Whole, &png);
    if (png.png && !loaded) {
        PrintMessageLine(console, Quoted(path) + " cannot be read as an indexed PNG: " + png.why +
                                      "; no color index list was written.");
        return kSomeRefused;
    }
    if (const std::string refusal = Refusal(path, bitmap, loaded); !refusal.empty()) {
        PrintMessageLine(console, refusal);
        return kSomeRefused;
    }
    std::string error;
    if (!cl.Has("output")) {
        if (WriteToStandardOutput(bitmap, console, error)) return kAllDone;
        if (errno != EPIPE) PrintError(console, kName, error);  // a reader that left ends quietly
        return kSomeRefused;
    }
    if (WriteColorIndexList(bitmap, *cl.Value("output"), error) == IndexListResult::Written)
        return kAllDone;
    if (error.find(std::strerror(EPIPE)) != std::string::npos) return kSomeRefused;
    PrintMessageLine(console, IndexListFailedMessage(error).text);
    return kSomeRefused;
}

}  // namespace tintwell::cli
