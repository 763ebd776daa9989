#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "bitmap/clsBitmap.h"
#include "cli/CliSettings.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/HelpTexts.h"
#include "cli/PrintableText.h"
#include "core/PngRecolor.h"
#include "core/modRecolor.h"
#include "png/PngRewriter.h"

namespace tintwell::cli {
namespace {

namespace fs = std::filesystem;

void Line(Console& console, const char* label, const std::string& value) {
    std::fprintf(console.out, "%-14s %s\n", label, value.c_str());
}

std::string OneLine(const std::string& text) {
    return PrintableText(text);
}

std::string PixelData(const clsBitmap& bitmap) {
    const std::string at = " at offset " + std::to_string(bitmap.FileHeader().bfOffBits);
    if (!bitmap.IsCompressed())
        return std::to_string(bitmap.PixelDataBytes()) + " bytes" + at + ", " +
               std::to_string(bitmap.RowStride()) + " bytes per row";
    const std::string stream = bitmap.CompressionName() + " stream of " +
                               std::to_string(bitmap.PixelDataBytes()) + " bytes" + at;
    if (bitmap.StreamDamage().empty()) return stream;
    return stream + ", damaged: " + OneLine(bitmap.StreamDamage());
}

// The chunks in order, a run of chunks of one type as "IDAT x3".
std::string ChunkList(const PngFile& png) {
    std::string list;
    const auto& chunks = png.Chunks();
    for (std::size_t i = 0; i < chunks.size();) {
        std::size_t run = 1;
        while (i + run < chunks.size() && chunks[i + run].type == chunks[i].type)
            ++run;
        list += (list.empty() ? "" : " ") + chunks[i].type +
                (run > 1 ? " x" + std::to_string(run) : "");
        i += run;
    }
    if (png.TrailingBytes() > 0)
        list += ", " + std::to_string(png.TrailingBytes()) + " bytes behind IEND";
    return list;
}

// What a PNG file holds and whether it can be recoloured (its image data
// decoded through, never held); true when it can.
bool DescribePng(const std::string& path, int fd, Console& console) {
    PngFile png;
    bool scanned = png.Scan(fd);
    const PngHeader& h = png.Header();
    Line(console, "Format:", "PNG");
    if (h.width > 0) {
        static const char* const kinds[] = {
            "greyscale",           "?", "truecolor", "indexed", "greyscale with alpha", "?",
            "truecolor with alpha"};
        Line(console,
             "Size:", std::to_string(h.width) + " x " + std::to_string(h.height) + " pixels");
        Line(console, "Bit depth:", std::to_string(h.bitDepth));
        Line(console, "Color type:", h.colorType <= 6 ? kinds[h.colorType] : "?");
        Line(console, "Interlace:", h.interlace ? "Adam7" : "none");
    }
    if (!png.Palette().empty())
        Line(console, "Palette:", std::to_string(png.Palette().size()) + " entries (PLTE)");
    const std::size_t transparent = std::count_if(png.Alpha().begin(), png.Alpha().end(),
                                                  [](std::uint8_t a) { return a < 255; });
    Line(console, "Transparency:",
         png.Alpha().empty() ? std::string("none")
                             : std::to_string(png.Alpha().size()) + " entries in tRNS, " +
                                   std::to_string(transparent) + " of them not opaque");
    if (!png.Chunks().empty()) Line(console, "Chunks:", ChunkList(png));
    std::string refusal;
    if (!scanned) {
        refusal = PngRefusalMessage(path, png.GetProblem(), png.Why()).text;
    } else {
        PngRewriter check(fd, png);
        if (check.Check() != PngRewriter::Outcome::Written)
            refusal = check.Why().empty()
                          ? UnreadableMessage(path, check.Error()).text
                          : PngRefusalMessage(path, PngFile::Problem::Damaged, check.Why()).text;
    }
    Line(console, "Can recolor:", refusal.empty() ? "yes" : "no: " + OneLine(refusal));
    return refusal.empty();
}

// Prints what the file holds and whether it can be recoloured; true when it can.
bool Describe(const std::string& path, Console& console) {
    std::error_code ec;
    if (MessageRequest problem; FindFileProblem(path, problem)) {
        PrintMessageLine(console, problem.text);
        return false;
    }
    if (const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); fd >= 0) {
        const bool png = PngFile::HasSignature(fd);
        if (png) {
            Line(console, "File:", OneLine(path));
            Line(console, "File size:", std::to_string(fs::file_size(path, ec)) + " bytes");
        }
        const bool can = png && DescribePng(path, fd, console);
        ::close(fd);
        if (png) return can;
    }
    // Headers and colour table only; an RLE stream is read through, never held.
    clsBitmap bitmap;
    const bool loaded = bitmap.LoadFromFile(path, BitmapParts::Layout);
    const BitmapInfoHeader& info = bitmap.InfoHeader();
    Line(console, "File:", OneLine(path));
    Line(console, "File size:", std::to_string(fs::file_size(path, ec)) + " bytes");
    if (bitmap.FileHeader().bfType == 0x4D42 && info.biSize >= 12) {
        Line(console,
             "Header:", bitmap.HeaderName() + ", " + std::to_string(info.biSize) + " bytes");
        Line(console, "Compression:", bitmap.CompressionName());
        Line(console, "Size:",
             std::to_string(bitmap.Width()) + " x " + std::to_string(bitmap.Height()) + " pixels");
        Line(console, "Bit count:", std::to_string(bitmap.BitCount()));
        Line(console, "Row order:",
             bitmap.IsTopDown() ? "top-down (top row stored first)"
                                : "bottom-up (bottom row stored first)");
        if (bitmap.HasColorTable() && loaded) {
            Line(console, "Color table:",
                 std::to_string(bitmap.ColorTableEntryCount()) + " entries, " +
                     std::to_string(bitmap.ActualColorTableEntryCount()) + " read from the file");
        } else if (bitmap.HasColorTable()) {
            Line(console, "Color table:", "not read");
        } else {
            Line(console, "Color table:", "none (colors are stored in the pixels)");
        }
        if (loaded) Line(console, "Pixel data:", PixelData(bitmap));
    }
    if (!loaded) Line(console, "Load error:", OneLine(bitmap.LastError()));
    const RecolorProblem problem = FindRecolorProblem(bitmap, loaded);
    Line(console, "Can recolor:",
         problem == RecolorProblem::None
             ? std::string("yes")
             : "no: " + OneLine(RecolorProblemMessage(problem, path, bitmap).text));
    return problem == RecolorProblem::None;
}

}  // namespace

int InfoCommand(const std::vector<std::string>& args, Console& console) {
    CommandLine cl({{"help", 'h', false}, {"settings-path", 0, false}});
    if (!cl.Parse(args)) return UsageError(console, "info", cl.LastError());
    if (cl.Has("help")) {
        std::fputs(HelpText("info").c_str(), console.out);
        return kAllDone;
    }
    if (cl.Has("settings-path")) {
        std::fprintf(console.out, "%s\n", CliSettings::DefaultPath().c_str());
        if (cl.Operands().empty()) return kAllDone;
    }
    if (cl.Operands().empty()) return UsageError(console, "info", "no image given");
    bool allRecolorable = true;
    for (std::size_t i = 0; i < cl.Operands().size(); ++i) {
        if (i > 0) std::fputs("\n", console.out);
        std::fflush(console.out);
        if (!Describe(cl.Operands()[i], console)) allRecolorable = false;
    }
    return allRecolorable ? kAllDone : kSomeRefused;
}

}  // namespace tintwell::cli
