#pragma once

#include <set>
#include <string>
#include <vector>

#include "ui/toolkit/IBatchProgress.h"

namespace tintwell::test {

// Batch progress double: records what the batch reported and stops it before
// the file indices listed in `stopBefore`, as a user pressing Cancel would.
class RecordingBatchProgress : public IBatchProgress {
  public:
    void Begin(int total) override { begun.push_back(total); }
    bool Next(int index, const std::string& name) override {
        if (stopBefore.count(index) != 0) return false;
        names.push_back(name);
        return true;
    }
    void End() override { ++ended; }

    std::vector<int> begun;
    std::vector<std::string> names;
    int ended = 0;
    std::set<int> stopBefore;
};

}  // namespace tintwell::test
