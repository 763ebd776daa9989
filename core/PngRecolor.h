#pragma once

#include <optional>
#include <string>

#include "bitmap/AtomicFile.h"
#include "core/ColorMap.h"
#include "core/IMessageBox.h"
#include "core/SelectionRect.h"
#include "png/PngFile.h"

namespace tintwell {

// Writes the recoloured version of the open PNG file `fd` (named `path` in
// messages) into `out`, opening it: the palette indices inside the selection
// (RecolorSpans, row 0 at the top, for an Adam7 file the image's rows) go
// through `map`, and every byte outside the image data stays. When no index
// changes, `out` receives the file's own bytes. False either with `refusal`
// set (a PNG that cannot be recoloured: the message to show) or with `error`
// set (reading or writing failed).
bool WritePngRecolored(int fd, const std::string& path, const ColorMap& map,
                       const SelectionRect& selection, bool outside, AtomicFile& out,
                       std::optional<MessageRequest>& refusal, std::string& error);

// The message for a PNG file that is refused for `problem` (Damaged also
// for damaged image data), `why` saying why as a clause.
MessageRequest PngRefusalMessage(const std::string& path, PngFile::Problem problem,
                                 const std::string& why);
// The message for a new index the PNG file at `path` cannot hold.
MessageRequest PngIndexMessage(const std::string& path, const std::string& why);

}  // namespace tintwell
