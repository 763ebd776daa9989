#include "workspace/WorkspaceTexts.h"

namespace tintwell {

std::span<const char* const> WorkspaceTexts() {
    static const char* const texts[] = {
        TINTWELL_TEXT("Logic", "%1 is the same file as %2 and was not restored a second time."),
        TINTWELL_TEXT("Logic",
                      "%1 is not a palette index 0 to 255 or a range of them such as 16-31"),
        TINTWELL_TEXT("Logic", "%1 is not a pair SOURCE:TARGET such as 3:7 or 16-31:32-47"),
        TINTWELL_TEXT("Logic", "the two sides of %1 differ in length (%2 and %3 indices)"),
        TINTWELL_TEXT("Logic", "index %1 is mapped twice (to %2 and to %3)"),
    };
    return texts;
}

}  // namespace tintwell
