#include "core/modIndexList.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

#include "bitmap/AtomicFile.h"
#include "bitmap/PixelReader.h"

namespace tintwell {

namespace {

constexpr std::size_t kFieldWidth = 4;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;     // text is gathered up to this
constexpr std::int64_t kPiecePixels = std::int64_t{1} << 16;  // a row is read in pieces
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

// Appends the fields of `count` indices.
void AppendFields(const std::uint8_t* indices, std::size_t count, std::string& out) {
    const FieldTable& fields = Fields();
    const std::size_t start = out.size();
    out.resize(start + count * kFieldWidth);
    char* p = out.data() + start;
    for (std::size_t x = 0; x < count; ++x, p += kFieldWidth)
        std::memcpy(p, fields[indices[x]].data(), kFieldWidth);
}

// Closes a file descriptor when it goes.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// Why the table of an 8-bit bitmap cannot be made, or "". A bitmap whose load
// failed (a negative width, say) never had its layout set up; a header may
// claim billions of pixels over a few bytes of data; a damaged stream decoded
// only partly: all are refused before anything is sized from the header.
std::string Refusal(const clsBitmap& bitmap) {
    if (bitmap.BytesPerPixel() != 1) return kUnreadable;
    if (!bitmap.StreamDamage().empty())
        return "The image's compressed pixel data is damaged (" + bitmap.StreamDamage() +
               "), so its color index list cannot be written.";
    // A stream read through with BitmapParts::Layout at least, so its damage is known.
    if (!bitmap.PixelsCoverImage() || bitmap.PixelDataBytes() < 0) return kIncomplete;
    return {};
}

}  // namespace

std::string ColorIndexListText(const clsBitmap& bitmap) {
    std::string text, error;
    if (bitmap.BitCount() != 8) return text;
    const auto append = [&](const std::string& block) {
        text += block;
        return true;
    };
    if (!WriteColorIndexRows(bitmap, append, error)) throw std::out_of_range(error);
    return text;
}

// Rows from the top, a piece of a row at a time: from the held pixels, or read
// from the file when only the headers were loaded. Memory is a block of text
// and a piece, whatever the image's size.
bool WriteColorIndexRows(const clsBitmap& bitmap,
                         const std::function<bool(const std::string&)>& write, std::string& error) {
    error = Refusal(bitmap);
    if (!error.empty()) return false;
    Descriptor file;
    std::optional<PixelReader> reader;
    std::vector<std::uint8_t> piece;
    if (!bitmap.PixelsLoaded()) {
        file.fd = bitmap.OpenSource(error);
        if (file.fd < 0) return false;
        reader.emplace(file.fd, bitmap);
        piece.resize(kPiecePixels);
    }
    const std::int64_t width = bitmap.Width();
    std::string block;
    block.reserve(kBlockBytes + static_cast<std::size_t>(kPiecePixels) * kFieldWidth + 2);
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        for (std::int64_t x = 0; x < width; x += kPiecePixels) {
            const std::int64_t n = std::min<std::int64_t>(kPiecePixels, width - x);
            const std::uint8_t* indices = reader ? piece.data() : bitmap.RowData(y);
            if (reader && !reader->ReadRow(y, x, n, piece.data())) {
                error = reader->Error();
                return false;
            }
            if (indices == nullptr) {
                error = kIncomplete;
                return false;
            }
            AppendFields(reader ? indices : indices + x, static_cast<std::size_t>(n), block);
            if (block.size() >= kBlockBytes && !write(block)) return false;
            if (block.size() >= kBlockBytes) block.clear();
        }
        block += "\r\n";
    }
    return block.empty() || write(block);
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
