#include "bitmap/RleParser.h"

#include <algorithm>
#include <utility>

namespace tintwell {

void RleParser::SetDamage(std::string text) {
    if (damage_.empty()) damage_ = std::move(text);
}

bool RleParser::Place(std::int64_t count, std::uint8_t* at, bool literal, RleSink& sink) {
    if (row_ >= height_) {
        SetDamage("the pixel data goes on past the last row");
        return false;
    }
    const std::int64_t fit = std::min(count, width_ - x_);
    if (fit > 0) {
        if (literal)
            sink.Literal(row_, x_, fit, at);
        else
            sink.Repeat(row_, x_, fit, at);
        x_ += fit;
        pixelsSet_ += fit;
    }
    if (fit == count) return true;
    SetDamage("a run of pixels goes past the end of its row");
    return false;
}

void RleParser::Move(std::int64_t dx, std::int64_t dy) {
    if (x_ + dx > width_ || row_ + dy >= height_) {
        SetDamage("a move (delta) goes past the end of the image");
        return;
    }
    x_ += dx;
    row_ += dy;
}

void RleParser::EndLine() {
    if (row_ >= height_) {
        SetDamage("the pixel data goes on past the last row");
        return;
    }
    ++row_;
    x_ = 0;
}

std::size_t RleParser::Feed(std::span<std::uint8_t> bytes, RleSink& sink) {
    std::uint8_t* const b = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t p = 0;
    while (!Done() && n - p >= 2) {
        const std::uint8_t count = b[p];
        const std::uint8_t code = b[p + 1];
        if (count != 0) {  // a run of one value
            if (Place(count, b + p + 1, false, sink)) p += 2;
            continue;
        }
        if (code == 0) {
            EndLine();
            if (!Damaged()) p += 2;
        } else if (code == 1) {
            ended_ = true;
            p += 2;
        } else if (code == 2) {
            if (n - p < 4) break;
            Move(b[p + 2], b[p + 3]);
            if (!Damaged()) p += 4;
        } else {  // absolute: `code` pixels stored as they are, padded to a word
            const std::size_t data = bits_ == 8 ? code : (code + 1u) / 2;
            const std::size_t total = 2 + ((data + 1) & ~std::size_t{1});
            if (n - p < total) break;
            if (Place(code, b + p + 2, true, sink)) p += total;
        }
    }
    return p;
}

void RleParser::Finish(bool cutInsideAnOperation) {
    if (Done()) return;
    SetDamage(cutInsideAnOperation ? "the pixel data is cut short"
                                   : "the pixel data ends without its end-of-bitmap mark");
}

}  // namespace tintwell
