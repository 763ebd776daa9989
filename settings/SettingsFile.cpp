#include "settings/SettingsFile.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "settings/IniNumber.h"

namespace tintwell {
namespace {

constexpr const char* kBackupBMPs = "BackupBMPs";
constexpr const char* kFolder = "Folder";
constexpr const char* kNumColorMaps = "NumColorMaps";
constexpr const char* kPreview = "Preview";
constexpr const char* kRecolorOutside = "RecolorOutside";
constexpr const char* kZoom = "Zoom";
constexpr const char* kDimUnused = "DimUnused";
constexpr const char* kName = "Name";

// The palette index a key name stands for: "0" to "255" exactly as written
// by the program (no sign, blank or leading zero), else -1.
int EntryIndex(std::string_view name) {
    if (name.empty() || name.size() > 3 || (name.size() > 1 && name[0] == '0')) return -1;
    int n = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n <= 255 ? n : -1;
}

// Reads 256 entries of a section, each defaulting to its own index; values
// outside 0..255 (edited by hand) keep the identity value. One walk over the
// section's keys, taking the first key of each name as a lookup would.
ColorMapEntries ReadEntries(const clsINI& ini, const std::string& section) {
    ColorMapEntries map{};
    std::array<bool, 256> seen{};
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(i);
    for (const INIKey& key : ini.Keys(section)) {
        const int i = EntryIndex(key.Name());
        if (i < 0 || seen[i]) continue;
        seen[i] = true;
        const std::int32_t v = ScanLong(key.Value());
        if (v >= 0 && v <= 255) map[i] = static_cast<std::uint8_t>(v);
    }
    return map;
}

}  // namespace

SettingsFile::SettingsFile(IMessageBox& messages, std::filesystem::path programFolder,
                           std::filesystem::path iniFolder)
    : programFolder_(std::move(programFolder)),
      iniFolder_(iniFolder.empty() ? programFolder_ : std::move(iniFolder)),
      ini_(messages) {}

bool SettingsFile::Load() {
    return ini_.LoadINI(Path().string());
}

bool SettingsFile::ReadSwitch(const char* key, bool absent) const {
    return ini_.ReadLong(kGeneral, key, absent ? -1 : 0) != 0;
}

void SettingsFile::WriteSwitch(const char* key, bool on) {
    ini_.WriteValue(kGeneral, key, on ? "-1" : "0");
}

bool SettingsFile::BackupBMPs() const {
    return ReadSwitch(kBackupBMPs);
}
void SettingsFile::SetBackupBMPs(bool on) {
    WriteSwitch(kBackupBMPs, on);
}
bool SettingsFile::Preview() const {
    return ReadSwitch(kPreview);
}
void SettingsFile::SetPreview(bool on) {
    WriteSwitch(kPreview, on);
}
bool SettingsFile::RecolorOutside() const {
    return ReadSwitch(kRecolorOutside);
}
void SettingsFile::SetRecolorOutside(bool on) {
    WriteSwitch(kRecolorOutside, on);
}
bool SettingsFile::DimUnused() const {
    return ReadSwitch(kDimUnused, false);
}
void SettingsFile::SetDimUnused(bool on) {
    WriteSwitch(kDimUnused, on);
}

std::string SettingsFile::StoredFolder() const {
    return ini_.ReadString(kGeneral, kFolder, programFolder_.string());
}

std::filesystem::path SettingsFile::FolderToList() const {
    const std::string stored = StoredFolder();
    std::error_code ec;
    if (!stored.empty() && std::filesystem::is_directory(stored, ec)) return stored;
    return programFolder_;
}

void SettingsFile::SetFolder(const std::string& folder) {
    ini_.WriteValue(kGeneral, kFolder, folder);
}

std::int32_t SettingsFile::Zoom() const {
    return std::clamp(ini_.ReadLong(kGeneral, kZoom, 1), kMinZoom, kMaxZoom);
}

void SettingsFile::SetZoom(std::int32_t zoom) {
    ini_.WriteValue(kGeneral, kZoom, std::to_string(std::clamp(zoom, kMinZoom, kMaxZoom)));
}

std::int32_t SettingsFile::NumColorMaps() const {
    return std::clamp(ini_.ReadLong(kGeneral, kNumColorMaps, 0), 0, kMaxColorMaps);
}

void SettingsFile::SetNumColorMaps(std::int32_t count) {
    ini_.WriteValue(kGeneral, kNumColorMaps, std::to_string(count));
}

ColorMapEntries SettingsFile::RecolorMap() const {
    return ReadEntries(ini_, kRecolor);
}

std::string SettingsFile::ListSectionName(std::int32_t n) {
    return "List " + std::to_string(n);
}

std::string SettingsFile::ColorMapName(std::int32_t n, const std::string& defaultName) const {
    return ini_.ReadString(ListSectionName(n), kName, defaultName);
}

ColorMapEntries SettingsFile::ReadColorMap(std::int32_t n) const {
    return ReadEntries(ini_, ListSectionName(n));
}

void SettingsFile::WriteColorMapSection(std::int32_t n, const std::string& name,
                                        const ColorMapEntries& map) {
    const std::string section = ListSectionName(n);
    ini_.WriteValue(section, kName, name);
    for (int i = 0; i < 256; ++i)
        if (map[i] != i) ini_.WriteValue(section, std::to_string(i), std::to_string(map[i]));
}

void SettingsFile::DeleteColorMapSection(std::int32_t n) {
    ini_.DeleteSection(ListSectionName(n));
}

SettingsFile::SaveBatch::SaveBatch(SettingsFile& settings)
    : ini_(&settings.ini_), restore_(settings.ini_.AllowSaveFile()) {
    ini_->SetAllowSaveFile(false);
}

SettingsFile::SaveBatch::~SaveBatch() {
    Finish();
}

void SettingsFile::SaveBatch::Finish() {
    if (restore_) ini_->SetAllowSaveFile(true);
    restore_ = false;
}

}  // namespace tintwell
