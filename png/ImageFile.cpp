#include "png/ImageFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "png/PngImageReader.h"

namespace tintwell {
namespace {

class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~ReadOnlyFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    int Fd() const { return fd_; }

  private:
    int fd_;
};

// Decodes every row into the top-down 8-bit `bitmap`, each pass's pixels at
// their places in the image.
bool DecodeInto(int fd, const PngFile& png, clsBitmap& bitmap, std::string& why) {
    PngImageReader reader(fd, png);
    std::vector<std::uint8_t> indices;
    const int depth = png.Header().bitDepth;
    while (reader.Next()) {
        const PngPass& pass = reader.Pass();
        std::uint8_t* row = bitmap.MutableRowData(reader.ImageRow());
        if (pass.dx == 1) {
            PngUnpack(reader.Row(), depth, pass.width, row);
            continue;
        }
        indices.resize(static_cast<std::size_t>(pass.width));
        PngUnpack(reader.Row(), depth, pass.width, indices.data());
        for (std::int64_t i = 0; i < pass.width; ++i)
            row[pass.x0 + i * pass.dx] = indices[static_cast<std::size_t>(i)];
    }
    if (reader.Finish()) return true;
    why = reader.Error();
    return false;
}

bool LoadPng(int fd, clsBitmap& bitmap, BitmapParts parts, ImageLoad& load) {
    if (!load.file.Scan(fd)) {
        load.why = load.file.Why();
        return false;
    }
    const PngHeader& h = load.file.Header();
    clsBitmap decoded;
    if (!decoded.CreateNew(static_cast<std::int32_t>(h.width), -static_cast<std::int32_t>(h.height),
                           8)) {
        load.why = decoded.LastError();
        return false;
    }
    const auto& palette = load.file.Palette();
    for (std::size_t i = 0; i < palette.size(); ++i)
        decoded.SetColorTableEntry(static_cast<std::int32_t>(i), palette[i]);
    if (parts == BitmapParts::Whole && !DecodeInto(fd, load.file, decoded, load.why)) return false;
    bitmap = std::move(decoded);
    return true;
}

}  // namespace

bool IsPngFile(const std::filesystem::path& path) {
    const ReadOnlyFile file(path);
    return file.Fd() >= 0 && PngFile::HasSignature(file.Fd());
}

bool LoadImageFile(const std::filesystem::path& path, clsBitmap& bitmap, BitmapParts parts,
                   ImageLoad* load) {
    ImageLoad own;
    ImageLoad& info = load ? *load : own;
    {
        const ReadOnlyFile file(path);
        if (file.Fd() >= 0 && PngFile::HasSignature(file.Fd())) {
            info.png = true;
            return LoadPng(file.Fd(), bitmap, parts, info);
        }
    }
    return bitmap.LoadFromFile(path, parts);
}

}  // namespace tintwell
