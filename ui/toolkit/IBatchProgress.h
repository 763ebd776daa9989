#pragma once

#include <string>

namespace tintwell {

// Progress of a batch over several files, with a way for the user to stop it
// between two files. The Qt toolkit shows a progress dialog once the batch has
// run longer than a moment; tests answer from a script.
class IBatchProgress {
  public:
    virtual ~IBatchProgress() = default;
    virtual void Begin(int total) = 0;
    // A batch that does `action` ("Restoring") rather than recolour.
    virtual void Begin(int total, const std::string& action) {
        (void)action;
        Begin(total);
    }
    // File `index` (0-based) named `name` is about to be processed. False when
    // the user asked to stop: the batch ends before that file.
    virtual bool Next(int index, const std::string& name) = 0;
    // A message is up (true) or was answered (false): the progress must neither
    // cover it nor take its input meanwhile.
    virtual void Hold(bool) {}
    virtual void End() = 0;
};

}  // namespace tintwell
