#include "workspace/Session.h"

#include <exception>

#include "png/ImageFile.h"

namespace tintwell {

void Session::SetFolder(const std::filesystem::path& folder) {
    folder_ = folder;
    SelectFile({});
}

void Session::SelectFile(const std::filesystem::path& file) {
    selected_ = file;
    image_.reset();
}

const clsBitmap* Session::Image() {
    if (selected_.empty()) return nullptr;
    if (!image_) {
        image_ = std::make_unique<clsBitmap>();
        try {
            LoadImageFile(selected_, *image_);  // a PNG as an 8-bit bitmap
        } catch (const std::exception&) {
            image_ = std::make_unique<clsBitmap>();  // unreadable: an empty image
        }
    }
    return image_.get();
}

}  // namespace tintwell
