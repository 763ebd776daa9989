#include "settings/SettingsFile.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace tintwell {
namespace {

constexpr const char* kBackupBMPs = "BackupBMPs";
constexpr const char* kFolder = "Folder";
constexpr const char* kNumColorMaps = "NumColorMaps";
constexpr const char* kPreview = "Preview";
constexpr const char* kRecolorOutside = "RecolorOutside";
constexpr const char* kZoom = "Zoom";
constexpr const char* kName = "Name";

// Reads 256 entries of a section, each defaulting to its own index; values
// outside 0..255 (edited by hand) keep the identity value.
ColorMapEntries ReadEntries(const clsINI& ini, const std::string& section) {
    ColorMapEntries map{};
    for (int i = 0; i < 256; ++i) {
        const std::int32_t v = ini.ReadLong(section, std::to_string(i), i);
        map[i] = static_cast<std::uint8_t>(v >= 0 && v <= 255 ? v : i);
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

bool SettingsFile::ReadSwitch(const char* key) const {
    return ini_.ReadLong(kGeneral, key, -1) != 0;
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
