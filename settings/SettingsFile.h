#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/IMessageBox.h"
#include "settings/clsINI.h"

namespace tintwell {

// 256 palette indices, entry i the index that index i becomes.
using ColorMapEntries = std::array<std::uint8_t, 256>;

// The layout of Tintwell.ini over the one settings document:
//   [General]  BackupBMPs, Preview, RecolorOutside  switches "-1"/"0", absent = true,
//                                                    any non-zero value true
//              Folder        text, absent = the program's folder
//              NumColorMaps  whole number, absent = 0
//              Zoom          whole number 1..8, absent = 1
//              DimUnused     switch as above, absent = false
//   [Main] [Preview]  window placements (WindowPlacement.h)
//   [Recolor]   "0".."255" = target index, written by hand only
//   [List N]    stored colour map N (1..NumColorMaps): "Name" and one key per
//               index that differs from itself
// Values edited by hand are made safe where they are read (see each reader).
// The folders are handed in; nothing here looks them up.
class SettingsFile {
  public:
    static constexpr const char* kFileName = "Tintwell.ini";
    static constexpr const char* kGeneral = "General";
    static constexpr const char* kRecolor = "Recolor";
    static constexpr const char* kMainPlacement = "Main";
    static constexpr const char* kPreviewPlacement = "Preview";
    static constexpr std::int32_t kMinZoom = 1;
    static constexpr std::int32_t kMaxZoom = 8;
    // Upper bound on the stored map count, so that a hand-edited count cannot
    // make the menus build millions of items.
    static constexpr std::int32_t kMaxColorMaps = 10000;

    // `programFolder` is the folder listed when no other is stored; the file
    // is Tintwell.ini in `iniFolder`, which defaults to `programFolder`.
    SettingsFile(IMessageBox& messages, std::filesystem::path programFolder,
                 std::filesystem::path iniFolder = {});

    // Loads Tintwell.ini. A missing file is no error (defaults, the
    // first write creates it). False with LastError() when the file exists but
    // cannot be read: the program goes on with the defaults and that file is
    // never overwritten during the run (the first write says so, once).
    bool Load();
    const std::string& LastError() const { return ini_.LastError(); }

    std::filesystem::path Path() const { return iniFolder_ / kFileName; }
    const std::filesystem::path& ProgramFolder() const { return programFolder_; }
    // The document itself, for the placement procedures and any other key.
    clsINI& Ini() { return ini_; }
    const clsINI& Ini() const { return ini_; }

    // --- "General" -----------------------------------------------------------
    bool BackupBMPs() const;
    void SetBackupBMPs(bool on);
    bool Preview() const;
    void SetPreview(bool on);
    bool RecolorOutside() const;
    void SetRecolorOutside(bool on);
    // The palette grid dims the colours the current image does not use.
    bool DimUnused() const;
    void SetDimUnused(bool on);

    // The stored folder text exactly, the program's folder when absent.
    std::string StoredFolder() const;
    // The folder to list: the stored one when it is an existing folder, else
    // (absent, empty, missing, a file) the program's folder. Never rewrites it.
    std::filesystem::path FolderToList() const;
    void SetFolder(const std::string& folder);

    // Clamped to kMinZoom..kMaxZoom.
    std::int32_t Zoom() const;
    void SetZoom(std::int32_t zoom);

    // Clamped to 0..kMaxColorMaps.
    std::int32_t NumColorMaps() const;
    void SetNumColorMaps(std::int32_t count);

    // --- "Recolor" -----------------------------------------------------------
    // Key i read with default i; values outside 0..255 are ignored (identity).
    ColorMapEntries RecolorMap() const;

    // --- "List N": stored colour maps ------------------------------------------
    static std::string ListSectionName(std::int32_t n);  // "List " + n
    // The "Name" of map n, or `defaultName` when it has none.
    std::string ColorMapName(std::int32_t n, const std::string& defaultName) const;
    // Map n: absent keys and values outside 0..255 give the identity value.
    ColorMapEntries ReadColorMap(std::int32_t n) const;

    // Writing primitives for the colour-map commands. Each write goes through
    // clsINI::WriteValue and so is written through unless a SaveBatch is open.
    //
    // Writes "Name" and one key per index whose entry differs from the index into
    // section "List n". The section must not hold older entries (delete it first).
    void WriteColorMapSection(std::int32_t n, const std::string& name, const ColorMapEntries& map);
    // Removes section "List n" (writes the file).
    void DeleteColorMapSection(std::int32_t n);

    // Switches saving off for its lifetime and back on at its end (or Finish),
    // which writes the file once. If saving was off already (string mode, an
    // outer batch) it is left off. Use it so many writes land in one file write:
    //     { SettingsFile::SaveBatch batch(settings); ...writes...; }
    class SaveBatch {
      public:
        explicit SaveBatch(SettingsFile& settings);
        ~SaveBatch();
        SaveBatch(const SaveBatch&) = delete;
        SaveBatch& operator=(const SaveBatch&) = delete;
        // Ends the batch now: switches saving back on, which writes the file.
        void Finish();

      private:
        clsINI* ini_;
        bool restore_;
    };

  private:
    bool ReadSwitch(const char* key, bool absent = true) const;
    void WriteSwitch(const char* key, bool on);

    std::filesystem::path programFolder_;
    std::filesystem::path iniFolder_;
    clsINI ini_;
};

}  // namespace tintwell
