#include "workspace/WorkspaceTexts.h"

namespace tintwell {

std::span<const char* const> WorkspaceTexts() {
    static const char* const texts[] = {
        TINTWELL_TEXT("Logic", "%1 is the same file as %2 and was not restored a second time."),
    };
    return texts;
}

}  // namespace tintwell
