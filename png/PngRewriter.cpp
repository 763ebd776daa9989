#include "png/PngRewriter.h"

#include <cstring>
#include <optional>
#include <vector>

#include "bitmap/AtomicFile.h"
#include "png/PngDataWriter.h"
#include "png/PngImageReader.h"

namespace tintwell {

PngRewriter::Outcome PngRewriter::Check() {
    bool changed = false;
    return Transcode(nullptr, nullptr, changed);
}

PngRewriter::Outcome PngRewriter::CopyWhole(AtomicFile& out) {
    if (out.Restart() && out.CopyRange(fd_, 0, static_cast<std::uint64_t>(png_.FileSize())))
        return Outcome::Written;
    error_ = out.Error();
    return Outcome::Failed;
}

PngRewriter::Outcome PngRewriter::Write(PngRowEditor* editor, AtomicFile& out) {
    bool changed = false;
    const auto& chunks = png_.Chunks();
    const std::int64_t head = chunks[png_.FirstData()].offset;
    if (editor != nullptr && !out.CopyRange(fd_, 0, static_cast<std::uint64_t>(head))) {
        error_ = out.Error();
        return Outcome::Failed;
    }
    const Outcome outcome = Transcode(editor, editor ? &out : nullptr, changed);
    if (outcome != Outcome::Written) return outcome;
    if (!changed) return CopyWhole(out);
    const std::int64_t tail = chunks[png_.EndData() - 1].End();
    if (out.CopyRange(fd_, static_cast<std::uint64_t>(tail),
                      static_cast<std::uint64_t>(png_.FileSize() - tail)))
        return Outcome::Written;
    error_ = out.Error();
    return Outcome::Failed;
}

// Why an index does not fit, or "": only changed pixels are checked, so a
// file that already holds such an index keeps it where the map leaves it.
bool PngRewriter::CheckIndices(const std::uint8_t* before, const std::uint8_t* after,
                               std::int64_t count, std::int64_t y, std::int64_t x0,
                               std::int64_t dx) {
    const int limit = png_.IndexLimit();
    for (std::int64_t i = 0; i < count; ++i) {
        if (after[i] == before[i] || after[i] < limit) continue;
        badIndex_ = true;
        const bool byPalette = static_cast<int>(png_.Palette().size()) == limit;
        why_ = "the pixel at " + std::to_string(x0 + i * dx) + ", " + std::to_string(y) +
               " would get index " + std::to_string(after[i]) + ", but " +
               (byPalette ? "its palette holds only " + std::to_string(limit) + " colors"
                          : "its " + std::to_string(png_.Header().bitDepth) +
                                "-bit pixels hold only indices below " + std::to_string(limit));
        return false;
    }
    return true;
}

// Decodes every row; with an editor each row is edited and, when `out` is
// given, written. `changed` tells whether any index changed.
PngRewriter::Outcome PngRewriter::Transcode(PngRowEditor* editor, AtomicFile* out, bool& changed) {
    PngImageReader reader(fd_, png_);
    std::optional<PngDataWriter> writer;
    if (out != nullptr) writer.emplace(*out, png_.RawBytes());
    const int depth = png_.Header().bitDepth;
    std::vector<std::uint8_t> before, after, packed;
    while (reader.Next()) {
        const PngPass& pass = reader.Pass();
        const std::uint8_t* row = reader.Row();  // the reader unfilters the next row from it
        if (editor != nullptr) {
            const auto count = static_cast<std::size_t>(pass.width);
            // At 8 bits the row holds the indices themselves: no unpacking.
            const std::uint8_t* old = reader.Row();
            if (depth < 8) {
                before.resize(count);
                PngUnpack(reader.Row(), depth, pass.width, before.data());
                old = before.data();
            }
            after.assign(old, old + count);
            editor->EditRow(reader.ImageRow(), pass.x0, pass.dx, after.data(), pass.width);
            if (std::memcmp(old, after.data(), count) != 0) {
                if (!CheckIndices(old, after.data(), pass.width, reader.ImageRow(), pass.x0,
                                  pass.dx))
                    return Outcome::Refused;
                changed = true;
                packed.assign(reader.Row(), reader.Row() + reader.RowSize());
                PngPack(after.data(), depth, pass.width, packed.data());
                row = packed.data();
            }
        }
        if (!writer) continue;
        if (reader.PassStart()) writer->StartPass(reader.RowSize());
        if (!writer->WriteRow(reader.FilterType(), row)) {
            error_ = writer->Error();
            return Outcome::Failed;
        }
    }
    if (!reader.Finish()) {
        (reader.Damaged() ? why_ : error_) = reader.Error();
        return reader.Damaged() ? Outcome::Refused : Outcome::Failed;
    }
    if (writer && changed && !writer->Finish()) {
        error_ = writer->Error();
        return Outcome::Failed;
    }
    return Outcome::Written;
}

}  // namespace tintwell
