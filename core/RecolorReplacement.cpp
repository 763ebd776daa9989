#include "core/RecolorReplacement.h"

#include <new>
#include <string>

#include "core/modRecolor.h"

namespace tintwell {

bool RecolorReplacement::Finish(IMessageBox& messages) {
    // Another program that wrote the file at any moment since it was locked
    // keeps its bytes: the result, computed from bytes that are no longer
    // there, is dropped (or, found after the exchange of names, taken back).
    std::string error;
    try {
        if (lock_.ReplaceWith(out_, error)) return true;
    } catch (const std::bad_alloc&) {
        messages.Show(OutOfMemoryMessage(path_.string()));
        return false;
    }
    messages.Show(out_.Refused() ? ChangedMessage(path_.string(), error)
                                 : SaveFailedMessage(path_.string(), out_.Error()));
    return false;
}

}  // namespace tintwell
