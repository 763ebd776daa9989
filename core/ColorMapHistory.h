#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/ColorMap.h"

namespace tintwell {

// The undo history of the one colour map. Every change made through it that
// alters the map is one step; Undo and Redo walk the steps. It also keeps the
// map as it was last saved or loaded, so that an undone or redone map counts
// as changed (ColorMapChanged) exactly when it differs from that.
class ColorMapHistory {
  public:
    using Entries = std::array<std::uint8_t, 256>;
    static constexpr std::size_t kDefaultSteps = 1000;

    // Works on `map`, which must outlive the history. At most `maxSteps` steps
    // can be undone; older ones are forgotten.
    explicit ColorMapHistory(ColorMap& map, std::size_t maxSteps = kDefaultSteps);

    // Start-up: the map becomes `entries`, no step can be undone, and this is
    // the saved state. The changed flag is left alone.
    void StartFrom(const Entries& entries);

    // The user maps `source` to `target` (sets the changed flag).
    void SetMapping(std::uint8_t source, std::uint8_t target);
    // The user maps every index to its entry in `entries`, as one step (sets
    // the changed flag when that changes the map).
    void SetMappings(const Entries& entries);
    // A stored map replaces the current one; it becomes the saved state.
    // The changed flag is left alone.
    void Load(const Entries& entries);
    // Every entry back to its own index; the changed flag is left alone.
    void Reset();
    // The map was stored under a name: the saved state, the flag cleared.
    void MarkSaved();

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ + 1 < states_.size(); }
    // False when there is nothing to undo (redo). Otherwise the map takes the
    // state before (after) the step and is changed when it differs from the
    // saved state.
    bool Undo();
    bool Redo();

    // Called after every change of the map or of what can be undone.
    void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

  private:
    void Record();
    void Show(std::size_t position);
    void Notify() const;

    ColorMap& map_;
    std::size_t maxSteps_;
    std::vector<Entries> states_;  // states_[position_] is the map's state
    std::size_t position_ = 0;
    Entries saved_{};
    std::function<void()> listener_;
};

}  // namespace tintwell
