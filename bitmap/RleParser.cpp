#include "bitmap/RleParser.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace tintwell {

void RleParser::SetDamage(std::string text) {
    if (damage_.empty()) damage_ = std::move(text);
}

bool RleParser::Place(std::int64_t count, std::uint8_t* at, bool literal, RleSink& sink) {
    if (row_ >= height_) {
        SetDamage("the pixel data goes on past the last row");
        return false;
    }
    // Pixels past the row's end are dropped, as other readers do: writers
    // that compress the padded row put them there.
    const std::int64_t fit = std::max<std::int64_t>(std::min(count, width_ - x_), 0);
    if (literal && fit < count && bits_ == 8)
        sink.Cut(at + fit, count - fit);
    else if (!literal && fit == 0)
        sink.Cut(at, 1);
    if (fit == 0) return true;
    if (literal)
        sink.Literal(row_, x_, fit, at);
    else
        sink.Repeat(row_, x_, fit, at);
    x_ += fit;
    pixelsSet_ += fit;
    return true;
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

bool RleParser::Read(const ReadFn& read, std::int64_t start, std::int64_t limit, RleSink& sink,
                     const ConsumeFn& consume, std::size_t piece) {
    std::vector<std::uint8_t> buffer(piece + kMaxOperationBytes);
    std::int64_t at = start;
    std::size_t carry = 0;
    while (!Done()) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size() - carry), limit - at));
        if (n == 0) {
            Finish(carry > 0);
            break;
        }
        if (!read(at, buffer.data() + carry, n)) return false;
        at += static_cast<std::int64_t>(n);
        const std::size_t total = carry + n;
        const std::size_t fed = Feed({buffer.data(), total}, sink);
        if (consume && !consume(buffer.data(), fed)) return false;
        used_ += static_cast<std::int64_t>(fed);
        carry = total - fed;
        std::memmove(buffer.data(), buffer.data() + fed, carry);
    }
    return true;
}

void RleParser::Finish(bool cutInsideAnOperation) {
    if (Done()) return;
    SetDamage(cutInsideAnOperation ? "the pixel data is cut short"
                                   : "the pixel data ends without its end-of-bitmap mark");
}

}  // namespace tintwell
