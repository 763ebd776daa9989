#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "settings/SettingsFile.h"

namespace tintwell {

// The folders worked in lately, newest first, in Tintwell.ini:
//   [Recent Folders]  "1".."8" = folder, "1" the newest
// A folder that no longer exists is dropped when the list is read for
// showing, so the menu never offers one.
class RecentFolders {
  public:
    static constexpr const char* kSection = "Recent Folders";
    static constexpr std::size_t kMaxCount = 8;

    explicit RecentFolders(SettingsFile& settings) : settings_(settings) {}

    // The stored folders in order, without empty values and repeats.
    std::vector<std::string> Stored() const;
    // The stored folders that still exist; the missing ones are removed from
    // the file (which is written only when something was removed).
    std::vector<std::string> Existing();
    // `folder` becomes the newest; an older entry of it goes, and the list
    // keeps its kMaxCount newest.
    void Add(const std::string& folder);

  private:
    void Store(const std::vector<std::string>& folders);

    SettingsFile& settings_;
};

}  // namespace tintwell
