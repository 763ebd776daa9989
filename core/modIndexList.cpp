#include "core/modIndexList.h"

#include <array>
#include <cstring>
#include <stdexcept>

#include "bitmap/AtomicFile.h"

namespace tintwell {

namespace {

constexpr std::size_t kFieldWidth = 4;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;  // rows are gathered up to this
constexpr const char* kIncomplete =
    "The image's pixel data is incomplete, so its color index list cannot be written.";
constexpr const char* kUnreadable =
    "The image could not be read, so its color index list cannot be written.";

// "  0," .. "255," for every index, so a row is built by copying.
using FieldTable = std::array<std::array<char, kFieldWidth>, 256>;

FieldTable MakeFieldTable() {
    FieldTable table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = {' ', ' ', static_cast<char>('0' + i % 10), ','};
        if (i >= 10) table[i][1] = static_cast<char>('0' + i / 10 % 10);
        if (i >= 100) table[i][0] = static_cast<char>('0' + i / 100);
    }
    return table;
}

const FieldTable& Fields() {
    static const FieldTable table = MakeFieldTable();
    return table;
}

// Appends row y. Rows whose bytes are all held are copied straight from the
// pixel buffer; GetPixelAt reports a pixel that is not held by throwing.
void AppendRow(const clsBitmap& bitmap, std::int32_t y, std::string& out) {
    const FieldTable& fields = Fields();
    const std::size_t width = static_cast<std::size_t>(bitmap.Width());
    const std::size_t start = out.size();
    out.resize(start + width * kFieldWidth + 2);
    char* p = out.data() + start;
    if (const std::uint8_t* row = bitmap.RowData(y)) {
        for (std::size_t x = 0; x < width; ++x, p += kFieldWidth) {
            std::memcpy(p, fields[row[x]].data(), kFieldWidth);
        }
    } else {
        for (std::size_t x = 0; x < width; ++x, p += kFieldWidth) {
            const auto index = bitmap.GetPixelAt(static_cast<std::int32_t>(x), y);
            std::memcpy(p, fields[static_cast<std::uint8_t>(index)].data(), kFieldWidth);
        }
    }
    p[0] = '\r';
    p[1] = '\n';
}

// Why the table of an 8-bit bitmap cannot be made, or "". A bitmap whose load
// failed (a negative width, say) never had its layout set up; a header may
// claim billions of pixels over a few bytes of data; a damaged stream decoded
// only partly: all are refused before anything is sized from the header.
std::string Refusal(const clsBitmap& bitmap) {
    if (bitmap.BytesPerPixel() != 1) return kUnreadable;
    if (!bitmap.StreamDamage().empty())
        return "The image's compressed pixel data is damaged (" + bitmap.StreamDamage() +
               "), so its color index list cannot be written.";
    if (!bitmap.PixelsLoaded() || !bitmap.PixelsCoverImage()) return kIncomplete;
    return {};
}

}  // namespace

std::string ColorIndexListText(const clsBitmap& bitmap) {
    std::string text;
    if (bitmap.BitCount() != 8) return text;
    // The size below comes from the header: only trust it once the load has
    // set the layout up and the pixel bytes are known to cover the image.
    if (const std::string refusal = Refusal(bitmap); !refusal.empty())
        throw std::out_of_range(refusal);
    text.reserve(static_cast<std::size_t>(bitmap.Height()) *
                 (static_cast<std::size_t>(bitmap.Width()) * kFieldWidth + 2));
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        AppendRow(bitmap, y, text);
    return text;
}

bool WriteColorIndexRows(const clsBitmap& bitmap,
                         const std::function<bool(const std::string&)>& write, std::string& error) {
    error = Refusal(bitmap);
    if (!error.empty()) return false;
    std::string block;
    block.reserve(kBlockBytes + static_cast<std::size_t>(bitmap.Width()) * kFieldWidth + 2);
    try {
        for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
            AppendRow(bitmap, y, block);
            if (block.size() < kBlockBytes && y + 1 < bitmap.Height()) continue;
            if (!write(block)) return false;
            block.clear();
        }
    } catch (const std::out_of_range&) {
        error = kIncomplete;
        return false;
    }
    return true;
}

IndexListResult WriteColorIndexList(const clsBitmap& bitmap, const std::filesystem::path& path,
                                    std::string& error) {
    if (bitmap.BitCount() != 8) return IndexListResult::NotEightBit;
    error = Refusal(bitmap);
    if (!error.empty()) return IndexListResult::Failed;
    AtomicFile file(path);
    bool ok = false;
    try {
        ok = file.Open() &&
             WriteColorIndexRows(
                 bitmap,
                 [&](const std::string& block) { return file.Write(block.data(), block.size()); },
                 error) &&
             file.Commit();
    } catch (const std::bad_alloc&) {
        error = "There is not enough memory to write the color index list.";
        return IndexListResult::Failed;
    }
    if (ok) return IndexListResult::Written;
    if (error.empty()) error = file.Error();
    return IndexListResult::Failed;
}

std::string SuggestedIndexListName(const std::string& imageName) {
    return imageName.substr(0, imageName.find('.')) + ".txt";
}

MessageRequest IndexListFailedMessage(const std::string& error) {
    MessageRequest request;
    request.text = "The color index list could not be saved.\r\n" + error;
    request.title = "Save Color Index List";
    request.buttons = MsgButtons::OK;
    request.icon = MsgIcon::Error;
    return request;
}

}  // namespace tintwell
