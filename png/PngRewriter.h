#pragma once

#include <cstdint>
#include <string>

#include "png/PngFile.h"

namespace tintwell {

class AtomicFile;

// Changes the palette indices of the pixels of one image row. `indices`
// holds `count` pixels, one byte each, pixel i at column x0 + i * dx of image
// row y (0 = top): an Adam7 pass holds every dx-th pixel of a row.
class PngRowEditor {
  public:
    virtual ~PngRowEditor() = default;
    virtual void EditRow(std::int64_t y, std::int64_t x0, std::int64_t dx, std::uint8_t* indices,
                         std::int64_t count) = 0;
};

// Writes a scanned indexed PNG file again with its pixel indices changed by a
// PngRowEditor: every byte before the first IDAT chunk and after the last
// (bytes behind IEND too) is copied as it is; the image data is decoded a few
// rows at a time, edited, filtered again with each row's own filter type and
// compressed anew. When no index changes, the file's own bytes are written.
class PngRewriter {
  public:
    enum class Outcome {
        Written,  // `out` holds the new file
        Refused,  // the image data is damaged, or an index does not fit: Why()
        Failed,   // reading or writing failed: Error()
    };

    PngRewriter(int fd, const PngFile& png) : fd_(fd), png_(png) {}

    // Appends the new file to `out` (opened by the caller, who commits it).
    // With no editor the image data is only checked and the file copied.
    Outcome Write(PngRowEditor* editor, AtomicFile& out);
    // Decodes the whole image data, checking it; Refused or Failed when it is not whole.
    Outcome Check();

    // Why the file was refused, as a clause ("its image data is cut short").
    const std::string& Why() const { return why_; }
    const std::string& Error() const { return error_; }
    // True when the refusal is a new index the file cannot hold, not damage.
    bool BadIndex() const { return badIndex_; }

  private:
    Outcome Transcode(PngRowEditor* editor, AtomicFile* out, bool& changed);
    bool CheckIndices(const std::uint8_t* before, const std::uint8_t* after, std::int64_t count,
                      std::int64_t y, std::int64_t x0, std::int64_t dx);
    Outcome CopyWhole(AtomicFile& out);

    int fd_;
    const PngFile& png_;
    std::string why_;
    std::string error_;
    bool badIndex_ = false;
};

}  // namespace tintwell
