#include "core/Quoted.h"

namespace tintwell {

// Built up in place: GCC 12 at -O3 warns wrongly about "literal" + string.
std::string Quoted(const std::filesystem::path& text) {
    std::string quoted(1, '"');
    quoted += text.native();
    quoted += '"';
    return quoted;
}

}  // namespace tintwell
