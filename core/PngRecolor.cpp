#include "core/PngRecolor.h"

#include <algorithm>

#include "core/Quoted.h"
#include "core/RecolorSpans.h"
#include "png/PngRewriter.h"

namespace tintwell {
namespace {

// Maps the pixels of each row that the selection rule picks.
class SpanEditor : public PngRowEditor {
  public:
    SpanEditor(const ColorMap& map, const SelectionRect& selection, bool outside,
               std::int64_t width)
        : table_(map.data()), selection_(selection), outside_(outside), width_(width) {}

    void EditRow(std::int64_t y, std::int64_t x0, std::int64_t dx, std::uint8_t* indices,
                 std::int64_t count) override {
        const RecolorSpans spans = RecolorSpans::ForRow(selection_, outside_, width_, y);
        for (int s = 0; s < spans.count; ++s) {
            // Pixels i with x0 + i * dx inside [from, to).
            const std::int64_t first = FirstAtOrAfter(spans.from[s], x0, dx);
            const std::int64_t end = std::min(FirstAtOrAfter(spans.to[s], x0, dx), count);
            for (std::int64_t i = first; i < end; ++i)
                indices[i] = table_[indices[i]];
        }
    }

  private:
    static std::int64_t FirstAtOrAfter(std::int64_t x, std::int64_t x0, std::int64_t dx) {
        return x <= x0 ? 0 : (x - x0 + dx - 1) / dx;
    }

    const std::uint8_t* table_;
    SelectionRect selection_;
    bool outside_;
    std::int64_t width_;
};

std::string Sentence(const std::string& reason) {
    return !reason.empty() && reason.back() == '.' ? reason : reason + ".";
}

MessageRequest Info(std::string title, std::string text) {
    return {std::move(text), std::move(title), MsgButtons::OK, MsgIcon::Information, 0};
}

constexpr const char* kUnchanged = " The file was left unchanged.";

}  // namespace

MessageRequest PngRefusalMessage(const std::string& path, PngFile::Problem problem,
                                 const std::string& why) {
    switch (problem) {
        case PngFile::Problem::NotIndexed:
            return Info("PNG is not indexed", Quoted(path) + " is not an indexed-color PNG: " +
                                                  Sentence(why) + kUnchanged);
        case PngFile::Problem::Damaged:
            return Info("PNG is damaged",
                        Quoted(path) + " is damaged: " + Sentence(why) + kUnchanged);
        default:
            return Info("PNG is not supported",
                        Quoted(path) + " was not recolored: " + Sentence(why) + kUnchanged);
    }
}

MessageRequest PngIndexMessage(const std::string& path, const std::string& why) {
    return Info("Index does not fit",
                Quoted(path) + " was not recolored: " + Sentence(why) + kUnchanged);
}

bool WritePngRecolored(int fd, const std::string& path, const ColorMap& map,
                       const SelectionRect& selection, bool outside, AtomicFile& out,
                       std::optional<MessageRequest>& refusal, std::string& error) {
    PngFile png;
    if (!png.Scan(fd)) {
        if (png.GetProblem() == PngFile::Problem::NotPng) {
            error = png.Why();
            return false;
        }
        refusal = PngRefusalMessage(path, png.GetProblem(), png.Why());
        return false;
    }
    if (!out.Open()) {
        error = out.Error();
        return false;
    }
    SpanEditor editor(map, selection, outside, png.Header().width);
    PngRewriter rewriter(fd, png);
    // The identity changes nothing: the image data is only checked.
    switch (rewriter.Write(map.IsIdentity() ? nullptr : &editor, out)) {
        case PngRewriter::Outcome::Written:
            return true;
        case PngRewriter::Outcome::Refused:
            refusal = rewriter.BadIndex()
                          ? PngIndexMessage(path, rewriter.Why())
                          : PngRefusalMessage(path, PngFile::Problem::Damaged, rewriter.Why());
            return false;
        case PngRewriter::Outcome::Failed:
            break;
    }
    error = rewriter.Error();
    return false;
}

}  // namespace tintwell
