#include "workspace/MapStore.h"

#include <algorithm>

#include "workspace/TextCase.h"

namespace tintwell {

std::vector<std::string> MapStore::Names() const {
    std::vector<std::string> names;
    for (std::int32_t n = 1; n <= Count(); ++n)
        names.push_back(Name(n));
    return names;
}

std::int32_t MapStore::Find(std::string_view name) const {
    const std::string wanted = UpperCase(name);
    const std::int32_t count = Count();
    for (std::int32_t n = 1; n <= count; ++n)
        if (UpperCase(Name(n)) == wanted) return n;
    return 0;
}

void MapStore::Write(std::int32_t n, const std::string& name, const ColorMapEntries& entries) {
    // Up to 258 keys and the old section's removal: written to the file once.
    SettingsFile::SaveBatch batch(settings_);
    settings_.DeleteColorMapSection(n);
    settings_.SetNumColorMaps(std::max(n, settings_.NumColorMaps()));
    settings_.WriteColorMapSection(n, name, entries);
}

void MapStore::Delete(std::int32_t k) {
    SettingsFile::SaveBatch batch(settings_);
    settings_.DeleteColorMapSection(k);
    const std::int32_t count = settings_.NumColorMaps();
    for (std::int32_t j = k + 1; j <= count; ++j) {
        // Entries outside 0..255 (edited by hand) are dropped on the way.
        settings_.DeleteColorMapSection(j - 1);
        settings_.WriteColorMapSection(j - 1, settings_.ColorMapName(j, kMovedWithoutName),
                                       settings_.ReadColorMap(j));
    }
    if (count >= k) settings_.DeleteColorMapSection(count);
    settings_.SetNumColorMaps(std::max(count - 1, 0));
}

int ChangedEntries(const ColorMapEntries& entries) {
    int changed = 0;
    for (int i = 0; i < 256; ++i)
        if (entries[i] != i) ++changed;
    return changed;
}

}  // namespace tintwell
