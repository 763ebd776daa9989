#pragma once

#include <array>
#include <cstdint>

namespace tintwell {

// The colour map: for each of the 256 palette indices, the palette index its
// pixels become. Identity at start. Applying it is one lookup per pixel; maps
// do not chain. Beside it, the flag saying the user edited the map since it
// was last stored under a name.
class ColorMap {
  public:
    ColorMap() { Reset(); }

    std::uint8_t Entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    std::uint8_t operator[](std::uint8_t index) const { return entries_[index]; }
    // Stores one entry without touching the changed flag (loading a stored map,
    // reading the settings).
    void SetEntry(std::uint8_t source, std::uint8_t target) { entries_[source] = target; }
    // The user's edit: stores the target in the source's entry and sets the flag.
    void SetMapping(std::uint8_t source, std::uint8_t target) {
        entries_[source] = target;
        changed_ = true;
    }
    // Sets every entry back to its own index; the flag is left alone.
    void Reset() {
        for (int i = 0; i < 256; ++i)
            entries_[i] = static_cast<std::uint8_t>(i);
    }
    bool IsIdentity() const {
        for (int i = 0; i < 256; ++i)
            if (entries_[i] != i) return false;
        return true;
    }

    bool ColorMapChanged() const { return changed_; }
    void SetColorMapChanged(bool changed) { changed_ = changed; }

    // The 256-byte lookup table, for applying the map a row at a time.
    const std::uint8_t* data() const { return entries_.data(); }
    const std::array<std::uint8_t, 256>& Entries() const { return entries_; }

    bool operator==(const ColorMap& other) const { return entries_ == other.entries_; }

  private:
    std::array<std::uint8_t, 256> entries_{};
    bool changed_ = false;
};

}  // namespace tintwell
