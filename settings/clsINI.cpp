#include "settings/clsINI.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <tuple>
#include <utility>

#include "bitmap/AtomicFile.h"
#include "settings/IniNumber.h"

namespace tintwell {
namespace {

std::size_t CheckIndex(std::int32_t index, std::size_t size, const char* what) {
    if (index < 0 || static_cast<std::size_t>(index) >= size)
        throw std::out_of_range(std::string("clsINI: ") + what + " index " + std::to_string(index) +
                                " out of range");
    return static_cast<std::size_t>(index);
}

// Reads a whole regular file. False with `error` set when the path exists but
// is not a regular file or cannot be read. Opened without blocking, so a FIFO
// in its place cannot hang the program.
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    auto fail = [&](const std::string& why) {
        error = "Could not read \"" + path + "\": " + why;
        return false;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail("not a regular file");
    }
    text.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            return fail(std::strerror(err));
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

// Room to reserve for a section's keys: its lines up to the next header (at
// most 4096), so a big section is not copied again and again while it grows.
std::size_t LinesBeforeNextHeader(std::string_view text, std::size_t start) {
    const std::string_view rest = start < text.size() ? text.substr(start) : "";
    const std::string_view body = rest.substr(0, rest.find("\n["));
    std::size_t lines = 1;
    for (std::size_t p = body.find('\n'); p != std::string_view::npos && lines < 4096;
         p = body.find('\n', p + 1))
        ++lines;
    return lines;
}

// A name or value as it may be written: a CR LF pair, a lone CR and a lone LF
// each become one blank, so text stored by a caller can never split into
// forged lines, and it reads back exactly as the document holds it.
std::string OneLine(const std::string& text) {
    if (text.find_first_of("\r\n") == std::string::npos) return text;
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
        if (pair) ++i;
    }
    return line;
}

// The text of one line as the document keeps it: a CR that does not end the
// line reads as a blank (a name or value never holds one).
std::string LineText(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == '\r') c = ' ';
    return s;
}

}  // namespace

clsINI::clsINI(IMessageBox& messages) : messages_(messages) {}

void clsINI::SetAllowSaveFile(bool NewAllowSaveFile) {
    if (NewAllowSaveFile && fileName_.empty()) {
        MessageRequest r;
        r.text = "Cannot allow INI file saving.  Currently using an internal INI string.";
        r.title = "Cannot allow saving of INI data";
        r.icon = MsgIcon::Error;
        messages_.Show(r);
        return;
    }
    allowSaveFile_ = NewAllowSaveFile;
    if (allowSaveFile_) SaveFile();
}

std::int32_t clsINI::NumberOfSections() const {
    return static_cast<std::int32_t>(sections_.size());
}

std::int32_t clsINI::NumberOfKeys(const std::string& SectionName) const {
    const INISection* s = FindSection(SectionName);
    return s ? static_cast<std::int32_t>(s->keys.size()) : 0;
}

std::string clsINI::SectionName(std::int32_t SectionNum) const {
    return sections_[CheckIndex(SectionNum, sections_.size(), "section")]->name;
}

std::string clsINI::KeyName(const std::string& SectionName, std::int32_t KeyNum) const {
    const INISection* s = FindSection(SectionName);
    if (!s) return std::string();
    return std::string(s->keys[CheckIndex(KeyNum, s->keys.size(), "key")].Name());
}

void clsINI::SetKeyName(const std::string& SectionName, std::int32_t KeyNum,
                        const std::string& NewName) {
    INISection* s = FindSection(SectionName);
    if (!s) return;
    INIKey& key = s->keys[CheckIndex(KeyNum, s->keys.size(), "key")];
    key.SetName(OneLine(NewName));
    s->sorted = false;
}

std::string clsINI::ToText() const {
    std::string text;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        if (s > 0) text += "\r\n";
        text += '[';
        text += sections_[s]->name;
        text += "]\r\n";
        for (const INIKey& key : sections_[s]->keys) {
            text += key.Name();
            text += '=';
            text += key.Value();
            text += "\r\n";
        }
    }
    return text;
}

void clsINI::SaveFile() {
    if (!allowSaveFile_) return;
    if (fileName_.empty()) {
        ReportSaveFailure("No file name has been set.");
        return;
    }
    if (fileProtected_) {
        ReportSaveFailure(lastError_ +
                          ". The file is left as it is; changes are kept for this run only.");
        return;
    }
    // The file is replaced by renaming a new one over it, which the folder's
    // permissions allow even for a file marked read-only; keep such a file as
    // opening it for writing would.
    if (::access(fileName_.c_str(), F_OK) == 0 && ::access(fileName_.c_str(), W_OK) != 0) {
        ReportSaveFailure("Could not write \"" + fileName_ + "\": " + std::strerror(errno));
        return;
    }
    const std::string text = ToText();
    std::string error;
    if (!AtomicFile::WriteWhole(fileName_, text.data(), text.size(), error)) {
        ReportSaveFailure(error);
        return;
    }
    ++writeCount_;
    failureShown_ = false;
}

void clsINI::ReportSaveFailure(const std::string& description) {
    // A folder that cannot be written would otherwise repeat the message for
    // every single change; show it again only after a save has worked.
    if (failureShown_) return;
    failureShown_ = true;
    MessageRequest r;
    r.text = "clsINI.SaveFile: " + description;
    r.title = "Could not save INI file.";
    r.icon = MsgIcon::Error;
    messages_.Show(r);
}

bool clsINI::LoadINI(const std::string& FileName) {
    Clear();
    fileName_ = FileName;
    fileProtected_ = false;
    failureShown_ = false;
    lastError_.clear();
    if (FileName.empty()) return true;
    std::error_code ec;
    // Follows links: a dangling link, like a missing file or folder, is absent.
    if (std::filesystem::status(FileName, ec).type() == std::filesystem::file_type::not_found)
        return true;
    std::string text;
    if (!ReadWholeFile(FileName, text, lastError_)) {
        // Something is there that could not be read: never replace it by the
        // nearly empty document of this run.
        fileProtected_ = true;
        return false;
    }
    ParseLines(text);
    return true;
}

void clsINI::LoadINIFromString(const std::string& Text) {
    SetAllowSaveFile(false);
    Clear();
    fileName_.clear();  // no file, so nothing to protect until the next LoadINI
    ParseLines(Text);
}

void clsINI::Clear() {
    sections_.clear();
    index_.clear();
}

void clsINI::ParseLines(std::string_view text) {
    // A byte-order mark that an editor put in front is no part of the first line.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    // A file whose lines all end in CR alone (as old Mac editors save) is read
    // by those; elsewhere a lone CR is part of its line.
    const char ending =
        text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos
            ? '\r'
            : '\n';
    INISection* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(ending, start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (end < text.size() && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        std::string blanked;
        if (line.find('\r') != std::string_view::npos) line = blanked = LineText(line);
        if (line.front() == '[') {
            // "[" alone is too short to carry a name and is skipped.
            if (line.size() >= 2) {
                current = &AddSection(std::string(line.substr(1, line.size() - 2)));
                current->keys.reserve(LinesBeforeNextHeader(text, start));
            }
            continue;
        }
        if (line.front() == ';') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || !current) continue;  // keys before any header go
        // Appended as read and put in key order once below: the same order as
        // inserting each at its place, without moving the keys again and again.
        current->keys.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    for (const auto& section : sections_)
        if (!std::is_sorted(section->keys.begin(), section->keys.end()))
            std::stable_sort(section->keys.begin(), section->keys.end());
}

INISection* clsINI::FindSection(const std::string& SectionName) const {
    const auto found = index_.find(SectionName);
    return found == index_.end() ? nullptr : found->second.first;
}

int clsINI::FindKey(const INISection& section, const INIKey& probe) {
    const auto& keys = section.keys;
    // In a sorted section every key of that name sorts equal to the probe and
    // the first of them stands at the lower bound.
    auto it = section.sorted ? std::lower_bound(keys.begin(), keys.end(), probe) : keys.begin();
    for (; it != keys.end() && !(section.sorted && probe < *it); ++it)
        if (it->Name() == probe.Name()) return static_cast<int>(it - keys.begin());
    return -1;
}

int clsINI::FindKey(const INISection& section, const std::string& KeyName) {
    return FindKey(section, INIKey(KeyName, {}));
}

INISection& clsINI::AddSection(const std::string& SectionName) {
    sections_.push_back(std::make_unique<INISection>(INISection{SectionName, {}}));
    INISection& added = *sections_.back();
    NameSlot& slot = index_[SectionName];
    if (slot.count++ == 0) slot.first = &added;
    return added;
}

int clsINI::AddKey(INISection& section, INIKey key) {
    auto& keys = section.keys;
    // After the last key that does not sort after the new one; a section whose
    // key was renamed in place is no longer sorted and is walked from its start.
    auto pos = keys.begin();
    if (section.sorted)
        pos = std::upper_bound(keys.begin(), keys.end(), key);
    else
        while (pos != keys.end() && !(key < *pos))
            ++pos;
    return static_cast<int>(keys.insert(pos, std::move(key)) - keys.begin());
}

std::span<const INIKey> clsINI::Keys(const std::string& SectionName) const {
    const INISection* s = FindSection(SectionName);
    return s ? std::span<const INIKey>(s->keys) : std::span<const INIKey>();
}

std::string clsINI::ReadString(const std::string& SectionName, const std::string& KeyName,
                               const std::string& DefaultValue) const {
    const INISection* s = FindSection(SectionName);
    if (!s) return DefaultValue;
    const int k = FindKey(*s, KeyName);
    return k < 0 ? DefaultValue : std::string(s->keys[k].Value());
}

std::string clsINI::ReadString(const std::string& SectionName, const std::string& KeyName,
                               std::int64_t DefaultValue) const {
    return ReadString(SectionName, KeyName, std::to_string(DefaultValue));
}

std::int32_t clsINI::ReadLong(const std::string& SectionName, const std::string& KeyName,
                              std::int32_t DefaultValue) const {
    const INISection* s = FindSection(SectionName);
    if (!s) return DefaultValue;
    const int k = FindKey(*s, KeyName);
    return k < 0 ? DefaultValue : ScanLong(s->keys[k].Value());
}

void clsINI::WriteValue(const std::string& SectionName, const std::string& KeyName,
                        const std::string& Value) {
    INIKey key(OneLine(KeyName), OneLine(Value));
    const std::string section = OneLine(SectionName);
    INISection* s = FindSection(section);
    if (!s) {
        AddKey(AddSection(section), std::move(key));
    } else if (const int k = FindKey(*s, key); k >= 0) {
        s->keys[k].SetValue(key.Value());
    } else {
        AddKey(*s, std::move(key));
    }
    SaveFile();
}

void clsINI::DeleteSection(const std::string& SectionName) {
    const auto found = index_.find(SectionName);
    if (found != index_.end()) {
        NameSlot& slot = found->second;
        auto at = std::find_if(sections_.begin(), sections_.end(),
                               [&](const auto& s) { return s.get() == slot.first; });
        at = sections_.erase(at);
        // The next namesake, if any, stands somewhere after the removed one.
        if (--slot.count == 0)
            index_.erase(found);
        else
            slot.first = std::find_if(at, sections_.end(), [&](const auto& s) {
                             return s->name == SectionName;
                         })->get();
    }
    SaveFile();
}

void clsINI::DeleteKey(const std::string& SectionName, const std::string& KeyName) {
    if (INISection* s = FindSection(SectionName)) {
        const int k = FindKey(*s, KeyName);
        if (k >= 0) s->keys.erase(s->keys.begin() + k);
    }
    SaveFile();
}

}  // namespace tintwell
