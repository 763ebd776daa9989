#include "ui/toolkit/modPicture.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include "core/RecolorSpans.h"
#include "core/modRecolor.h"

namespace tintwell {

namespace {

// A text about showing an image, in the user's language, with its numbers.
template <typename... Numbers>
std::string PictureText(const char* text, Numbers... numbers) {
    QString translated = QCoreApplication::translate("Picture", text);
    ((translated = translated.arg(static_cast<qlonglong>(numbers))), ...);
    return translated.toLocal8Bit().toStdString();
}

}  // namespace

namespace {

QRgb ToQRgb(ColorValue c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QList<QRgb> ColorTableOf(const clsBitmap& bitmap) {
    QList<QRgb> table(256, qRgb(0, 0, 0));
    const auto& colors = bitmap.ColorTable();
    const size_t n = std::min<size_t>(colors.size(), 256);
    for (size_t i = 0; i < n; ++i)
        table[static_cast<qsizetype>(i)] = ToQRgb(colors[i]);
    return table;
}

// Checks that the bitmap can be shown and makes (or reuses) a picture of its size.
bool PreparePicture(const clsBitmap& bitmap, QImage& picture, std::string& error) {
    const std::int64_t w = bitmap.Width();
    const std::int64_t h = bitmap.Height();
    const int bits = bitmap.BitCount();
    if (w <= 0 || h <= 0) {
        picture = QImage();
        return true;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        error = PictureText(
            QT_TRANSLATE_NOOP("Picture", "The image's bit count (%1) cannot be shown."), bits);
        return false;
    }
    const QImage::Format format = bits <= 8 ? QImage::Format_Indexed8 : QImage::Format_RGB32;
    const std::int64_t bytesPerLine = bits <= 8 ? ((w + 3) & ~std::int64_t{3}) : w * 4;
    if (w > 32767 || h > 32767 || bytesPerLine * h > kMaxPictureBytes) {
        error = PictureText(
            QT_TRANSLATE_NOOP("Picture", "The image is too large to show (%1 x %2 pixels)."), w, h);
        return false;
    }
    if (!bitmap.PixelsCoverImage()) {
        error = PictureText(
            QT_TRANSLATE_NOOP("Picture", "The image's pixel data is shorter than the image."));
        return false;
    }
    const bool reusable = !picture.isNull() && picture.width() == w && picture.height() == h &&
                          picture.format() == format && picture.isDetached();
    if (!reusable) {
        picture = QImage(static_cast<int>(w), static_cast<int>(h), format);
        if (picture.isNull()) {
            error = PictureText(
                QT_TRANSLATE_NOOP("Picture", "There is not enough memory to show the image."));
            return false;
        }
    }
    if (format == QImage::Format_Indexed8) picture.setColorTable(ColorTableOf(bitmap));
    return true;
}

void ConvertRow(const clsBitmap& bitmap, const std::uint8_t* s, uchar* d, int width) {
    switch (bitmap.BitCount()) {
        case 8:
            std::memcpy(d, s, static_cast<size_t>(width));
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                d[x] = (x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4);
            break;
        case 1:
            for (int x = 0; x < width; ++x)
                d[x] = (s[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        default: {
            const int bpp = bitmap.BytesPerPixel();
            auto* out = reinterpret_cast<QRgb*>(d);
            for (int x = 0; x < width; ++x, s += bpp)
                out[x] = qRgb(s[2], s[1], s[0]);
            break;
        }
    }
}

}  // namespace

void MapBytes(const std::uint8_t* source, std::uint8_t* target, std::size_t count,
              const std::uint8_t* table) {
    for (std::size_t i = 0; i < count; ++i)
        target[i] = table[source[i]];
}

PairTable::PairTable(const std::uint8_t* table) : pairs_(65536) {
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        pairs_[i] = static_cast<std::uint16_t>(table[i & 0xFF] | (table[i >> 8] << 8));
    }
}

// Eight bytes at a time, two per lookup: the pair table serves either byte
// order, since entry (a, b) holds (table[a], table[b]) in the same places.
void PairTable::Map(const std::uint8_t* source, std::uint8_t* target, std::size_t count,
                    const std::uint8_t* table) const {
    const std::uint16_t* t = pairs_.data();
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t in;
        std::memcpy(&in, source + i, 8);
        const std::uint64_t out =
            std::uint64_t{t[in & 0xFFFF]} | (std::uint64_t{t[(in >> 16) & 0xFFFF]} << 16) |
            (std::uint64_t{t[(in >> 32) & 0xFFFF]} << 32) | (std::uint64_t{t[in >> 48]} << 48);
        std::memcpy(target + i, &out, 8);
    }
    MapBytes(source + i, target + i, count - i, table);
}

bool CreateStdPicture(const clsBitmap& bitmap, QImage& picture, std::string& error) {
    if (!PreparePicture(bitmap, picture, error)) {
        picture = QImage();
        return false;
    }
    const int width = bitmap.Width();
    for (int y = 0; y < picture.height(); ++y) {
        ConvertRow(bitmap, bitmap.RowData(y), picture.scanLine(y), width);
    }
    return true;
}

bool CreateRecoloredPicture(const clsBitmap& bitmap, const ColorMap& map,
                            const SelectionRect& selection, bool outside, QImage& picture,
                            std::string& error) {
    if (bitmap.BitCount() != 8) {
        std::unique_ptr<clsBitmap> copy = bitmap.CreateCopy();
        if (!copy) {
            error = PictureText(
                QT_TRANSLATE_NOOP("Picture", "The image's bit count (%1) cannot be shown."),
                bitmap.BitCount());
            picture = QImage();
            return false;
        }
        RecolorBitmap(*copy, map, selection, outside);
        return CreateStdPicture(*copy, picture, error);
    }
    if (!PreparePicture(bitmap, picture, error)) {
        picture = QImage();
        return false;
    }
    const int width = bitmap.Width();
    const std::uint8_t* table = map.data();
    // Building the pair table costs as much as mapping 64 K pixels: only for big images.
    std::optional<PairTable> pairs;
    try {
        if (std::int64_t{width} * picture.height() >= (std::int64_t{1} << 18)) pairs.emplace(table);
    } catch (const std::bad_alloc&) {
        // Byte by byte, then.
    }
    // Rows in the order the file stores them, so the source is read forwards.
    const int height = picture.height();
    for (int k = 0; k < height; ++k) {
        const int y = bitmap.IsTopDown() ? k : height - 1 - k;
        const std::uint8_t* s = bitmap.RowData(y);
        uchar* d = picture.scanLine(y);
        const RecolorSpans spans = RecolorSpans::ForRow(selection, outside, width, y);
        std::int64_t x = 0;
        for (int r = 0; r < spans.count; ++r) {
            std::memcpy(d + x, s + x, static_cast<size_t>(spans.from[r] - x));
            const auto n = static_cast<size_t>(spans.to[r] - spans.from[r]);
            if (pairs) {
                pairs->Map(s + spans.from[r], d + spans.from[r], n, table);
            } else {
                MapBytes(s + spans.from[r], d + spans.from[r], n, table);
            }
            x = spans.to[r];
        }
        std::memcpy(d + x, s + x, static_cast<size_t>(width - x));
    }
    return true;
}

}  // namespace tintwell
