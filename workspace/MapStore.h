#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsFile.h"

namespace tintwell {

// The stored colour maps of a settings file ("List N" sections, numbered 1 to
// "NumColorMaps" without gaps), for the window's Color Map menu and the
// command line alike. Every change is one write of the file.
class MapStore {
  public:
    // The name of a stored map without "Name" key, as listed.
    static constexpr const char* kNoName = "ERROR: No name found";
    // The name such a map takes when a deletion moves it down.
    static constexpr const char* kMovedWithoutName = "ERROR";

    explicit MapStore(SettingsFile& settings) : settings_(settings) {}

    std::int32_t Count() const { return settings_.NumColorMaps(); }
    // The name of map n as stored (bytes unchanged), kNoName when it has none.
    std::string Name(std::int32_t n) const { return settings_.ColorMapName(n, kNoName); }
    // The names of maps 1 to Count, in order.
    std::vector<std::string> Names() const;
    // The first map, from 1 up, whose name equals `name` without regard to
    // letter case (both upper-cased with UpperCase); 0 when none does.
    std::int32_t Find(std::string_view name) const;
    // Map n; absent keys and values outside 0..255 give the identity value.
    ColorMapEntries Read(std::int32_t n) const { return settings_.ReadColorMap(n); }

    // Stores `entries` as map n named `name`, replacing whatever map n held;
    // a number above the count raises the count to it.
    void Write(std::int32_t n, const std::string& name, const ColorMapEntries& entries);
    // Removes map n; the later maps move down one number, keeping their names
    // (a map without one is stored as kMovedWithoutName) and entries.
    void Delete(std::int32_t n);

  private:
    SettingsFile& settings_;
};

// How many of the 256 entries change a palette index.
int ChangedEntries(const ColorMapEntries& entries);

}  // namespace tintwell
