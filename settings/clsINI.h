#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/IMessageBox.h"
#include "settings/INIKey.h"

namespace tintwell {

// One section: a name and its keys, kept in key order (see clsINI::AddKey).
struct INISection {
    std::string name;
    std::vector<INIKey> keys;
    bool sorted = true;  // false once SetKeyName has renamed a key in place
};

// An INI document held in memory and written through to its file.
//
// Text format: a line ends at LF, with or without a CR before it; any other CR
// reads as a blank, so no name or value ever holds a CR or an LF. "[name]"
// starts a section (first and last character cut off, nothing trimmed);
// "name=value" adds a key at the first "="; lines starting with ";", lines
// without "=", empty lines and keys before the first header are dropped.
// Repeated sections and keys are kept; every lookup by name finds the first.
// Keys with numeric names come first in numeric order, then the others in
// byte order. Saving writes every line with CR LF, one empty line between
// sections and none after the last.
//
// Sections are found through a hash index of their names and keys by binary
// search in their sorted order, so lookups and changes stay fast with
// thousands of sections and keys; order, namesakes and the text are exactly
// those of a plain walk over the lists.
//
// Every change (WriteValue, DeleteSection, DeleteKey) ends with SaveFile. The
// file is replaced atomically: a failed save leaves the previous file whole and
// the document unchanged, and shows "Could not save INI file." once; the
// message comes again only after a save has succeeded in between. A file that
// existed but could not be read by LoadINI is never overwritten during the run.
class clsINI {
  public:
    explicit clsINI(IMessageBox& messages);

    // --- saving switch -------------------------------------------------------
    bool AllowSaveFile() const { return allowSaveFile_; }
    // Switching on writes the file at once. Switching on without a file name
    // (string mode) is refused with the message "Cannot allow saving of INI data".
    void SetAllowSaveFile(bool NewAllowSaveFile);

    // --- sections and keys by position (out-of-range indices throw std::out_of_range)
    std::int32_t NumberOfSections() const;
    // Keys of the first section of that name; 0 when there is none.
    std::int32_t NumberOfKeys(const std::string& SectionName) const;
    std::string SectionName(std::int32_t SectionNum) const;
    // Name of key KeyNum of the first section of that name; "" when there is none.
    std::string KeyName(const std::string& SectionName, std::int32_t KeyNum) const;
    // Renames that key in place: no re-sorting, no duplicate check, no save.
    // Line breaks in the new name become blanks, as in WriteValue.
    // Nothing happens when there is no such section.
    void SetKeyName(const std::string& SectionName, std::int32_t KeyNum,
                    const std::string& NewName);

    // --- file ----------------------------------------------------------------
    const std::string& FileName() const { return fileName_; }
    // Writes the document to FileName if AllowSaveFile is true. A failure is
    // shown to the user (see above), never reported to the caller.
    void SaveFile();
    // Replaces the document by the file's content; a missing file gives an
    // empty document and the first change creates it. Never writes. Returns
    // false with LastError() when the file exists but cannot be read (no
    // permission, not a regular file); the document is then empty and the
    // file is protected from being overwritten until the next LoadINI.
    bool LoadINI(const std::string& FileName);
    // Replaces the document by the text, empties FileName and switches saving off.
    void LoadINIFromString(const std::string& Text);
    const std::string& LastError() const { return lastError_; }
    // Number of times the document has been written to its file (diagnostics).
    std::uint64_t WriteCount() const { return writeCount_; }

    // --- lookups -------------------------------------------------------------
    // The key's value exactly as stored, or the default when section or key is absent.
    std::string ReadString(const std::string& SectionName, const std::string& KeyName,
                           const std::string& DefaultValue = std::string()) const;
    std::string ReadString(const std::string& SectionName, const std::string& KeyName,
                           std::int64_t DefaultValue) const;
    // The key's value read as a number (see IniNumber.h), rounded half to even and
    // clamped to the 32-bit range; the default when section or key is absent.
    // A present but empty or non-numeric value reads as 0.
    std::int32_t ReadLong(const std::string& SectionName, const std::string& KeyName,
                          std::int32_t DefaultValue = 0) const;
    // The keys of the first section of that name in their order (none when
    // there is no such section); valid until the next change.
    std::span<const INIKey> Keys(const std::string& SectionName) const;

    // --- changes (each ends with SaveFile) -----------------------------------
    // Sets the value, creating section (at the end) and key (at its sorted
    // place) as needed; an existing key keeps its place. In all three texts a
    // CR LF pair, a lone CR and a lone LF each become one blank, so no text can
    // split a line and the document reads back as it was written.
    void WriteValue(const std::string& SectionName, const std::string& KeyName,
                    const std::string& Value);
    // Removes the first section of that name with its keys.
    void DeleteSection(const std::string& SectionName);
    // Removes the first key of that name from the first section of that name.
    void DeleteKey(const std::string& SectionName, const std::string& KeyName);

    // The document as SaveFile writes it.
    std::string ToText() const;

  private:
    // The first section of that name and how many sections carry the name.
    struct NameSlot {
        INISection* first = nullptr;
        std::size_t count = 0;
    };

    INISection* FindSection(const std::string& SectionName) const;
    static int FindKey(const INISection& section, const INIKey& probe);
    static int FindKey(const INISection& section, const std::string& KeyName);
    INISection& AddSection(const std::string& SectionName);
    static int AddKey(INISection& section, INIKey key);
    void ParseLines(std::string_view text);
    void Clear();
    void ReportSaveFailure(const std::string& description);

    IMessageBox& messages_;
    std::vector<std::unique_ptr<INISection>> sections_;  // in document order
    std::unordered_map<std::string, NameSlot> index_;    // section name -> first of it
    std::string fileName_;
    bool allowSaveFile_ = true;
    bool fileProtected_ = false;  // the existing file could not be read: never overwrite it
    bool failureShown_ = false;   // the save failure was shown and no save has succeeded since
    std::string lastError_;
    std::uint64_t writeCount_ = 0;
};

}  // namespace tintwell
