#include "core/ColorMapHistory.h"

namespace tintwell {

ColorMapHistory::ColorMapHistory(ColorMap& map, std::size_t maxSteps)
    : map_(map), maxSteps_(maxSteps), states_{map.Entries()}, saved_(map.Entries()) {}

void ColorMapHistory::StartFrom(const Entries& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        map_.SetEntry(static_cast<std::uint8_t>(i), entries[i]);
    states_.assign(1, entries);
    position_ = 0;
    saved_ = entries;
    Notify();
}

void ColorMapHistory::SetMapping(std::uint8_t source, std::uint8_t target) {
    map_.SetMapping(source, target);
    Record();
}

void ColorMapHistory::SetMappings(const Entries& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto index = static_cast<std::uint8_t>(i);
        if (map_[index] != entries[i]) map_.SetMapping(index, entries[i]);
    }
    Record();
}

void ColorMapHistory::Load(const Entries& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        map_.SetEntry(static_cast<std::uint8_t>(i), entries[i]);
    saved_ = entries;
    Record();
}

void ColorMapHistory::Reset() {
    map_.Reset();
    Record();
}

void ColorMapHistory::MarkSaved() {
    saved_ = map_.Entries();
    map_.SetColorMapChanged(false);
    Notify();
}

// A change that leaves the map as it was is no step.
void ColorMapHistory::Record() {
    if (map_.Entries() != states_[position_]) {
        states_.resize(position_ + 1);  // what was undone can no longer be redone
        states_.push_back(map_.Entries());
        if (states_.size() > maxSteps_ + 1) states_.erase(states_.begin());
        position_ = states_.size() - 1;
    }
    Notify();
}

bool ColorMapHistory::Undo() {
    if (!CanUndo()) return false;
    Show(position_ - 1);
    return true;
}

bool ColorMapHistory::Redo() {
    if (!CanRedo()) return false;
    Show(position_ + 1);
    return true;
}

void ColorMapHistory::Show(std::size_t position) {
    position_ = position;
    const Entries& state = states_[position];
    for (int i = 0; i < 256; ++i)
        map_.SetEntry(static_cast<std::uint8_t>(i), state[static_cast<std::size_t>(i)]);
    map_.SetColorMapChanged(state != saved_);
    Notify();
}

void ColorMapHistory::Notify() const {
    if (listener_) listener_();
}

}  // namespace tintwell
