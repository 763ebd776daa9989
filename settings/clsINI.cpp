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
#include <utility>

#include "bitmap/AtomicFile.h"
#include "settings/IniNumber.h"

namespace tintwell {
namespace {

// Strict weak order of key names: numeric names first by their rounded value,
// then the others by byte value.
bool KeyLess(const INIKey& a, const INIKey& b) {
    if (a.numeric != b.numeric) return a.numeric;
    if (a.numeric) return a.number < b.number;
    return a.name < b.name;
}

INIKey MakeKey(std::string name, std::string value) {
    INIKey key{std::move(name), std::move(value)};
    key.numeric = IsNumericName(key.name, key.number);
    return key;
}

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
    // The size only guides the first allocation; a sparse giant must not throw.
    text.reserve(static_cast<std::size_t>(std::min<off_t>(st.st_size, off_t{16} << 20)));
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
    const std::string_view body = rest.substr(0, rest.find("\r\n["));
    std::size_t lines = 1;
    for (std::size_t p = body.find("\r\n"); p != std::string_view::npos && lines < 4096;
         p = body.find("\r\n", p + 2))
        ++lines;
    return lines;
}

// A name or value as it may be written: every CR LF pair becomes one blank, so
// text stored by a caller can never split into forged lines. A lone CR or LF
// does not end a line; it stays, so names read from the file (which may hold
// one) still find their own section and key.
std::string OneLine(const std::string& text) {
    if (text.find("\r\n") == std::string::npos) return text;
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        line += pair ? ' ' : text[i];
        if (pair) ++i;
    }
    return line;
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
    int s = FindSection(SectionName);
    return s < 0 ? 0 : static_cast<std::int32_t>(sections_[s].keys.size());
}

std::string clsINI::SectionName(std::int32_t SectionNum) const {
    return sections_[CheckIndex(SectionNum, sections_.size(), "section")].name;
}

std::string clsINI::KeyName(const std::string& SectionName, std::int32_t KeyNum) const {
    int s = FindSection(SectionName);
    if (s < 0) return std::string();
    const auto& keys = sections_[s].keys;
    return keys[CheckIndex(KeyNum, keys.size(), "key")].name;
}

void clsINI::SetKeyName(const std::string& SectionName, std::int32_t KeyNum,
                        const std::string& NewName) {
    int s = FindSection(SectionName);
    if (s < 0) return;
    auto& keys = sections_[s].keys;
    INIKey& key = keys[CheckIndex(KeyNum, keys.size(), "key")];
    key.name = OneLine(NewName);
    key.numeric = IsNumericName(key.name, key.number);
    sections_[s].sorted = false;
}

std::string clsINI::ToText() const {
    std::string text;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        if (s > 0) text += "\r\n";
        text += '[';
        text += sections_[s].name;
        text += "]\r\n";
        for (const INIKey& key : sections_[s].keys) {
            text += key.name;
            text += '=';
            text += key.value;
            text += "\r\n";
        }
    }
    return text;
}

bool clsINI::SaveFile() {
    if (!allowSaveFile_) return true;
    if (fileName_.empty()) {
        ReportSaveFailure("No file name has been set.");
        return false;
    }
    if (fileProtected_) {
        ReportSaveFailure(lastError_ +
                          ". The file is left as it is; changes are kept for this run only.");
        return false;
    }
    // The file is replaced by renaming a new one over it, which the folder's
    // permissions allow even for a file marked read-only; keep such a file as
    // opening it for writing would.
    if (::access(fileName_.c_str(), F_OK) == 0 && ::access(fileName_.c_str(), W_OK) != 0) {
        ReportSaveFailure("Could not write \"" + fileName_ + "\": " + std::strerror(errno));
        return false;
    }
    const std::string text = ToText();
    std::string error;
    if (!AtomicFile::WriteWhole(fileName_, text.data(), text.size(), error)) {
        ReportSaveFailure(error);
        return false;
    }
    ++writeCount_;
    failureShown_ = false;
    return true;
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
    fileName_.clear();
    fileProtected_ = false;
    ParseLines(Text);
}

void clsINI::Clear() {
    sections_.clear();
}

void clsINI::ParseLines(std::string_view text) {
    int current = -1;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 2;
        if (line.empty()) continue;
        if (line.front() == '[') {
            // "[" alone is too short to carry a name and is skipped.
            if (line.size() >= 2) {
                current = AddSection(std::string(line.substr(1, line.size() - 2)));
                sections_[current].keys.reserve(LinesBeforeNextHeader(text, start));
            }
            continue;
        }
        if (line.front() == ';') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || current < 0)
            continue;  // keys before any header are dropped
        AddKey(current, std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
    }
}

int clsINI::FindSection(const std::string& SectionName) const {
    for (std::size_t i = 0; i < sections_.size(); ++i)
        if (sections_[i].name == SectionName) return static_cast<int>(i);
    return -1;
}

int clsINI::FindKey(int SectionNum, const std::string& KeyName) const {
    const auto& keys = sections_[SectionNum].keys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i].name == KeyName) return static_cast<int>(i);
    return -1;
}

int clsINI::AddSection(const std::string& SectionName) {
    sections_.push_back(INISection{SectionName, {}});
    return static_cast<int>(sections_.size()) - 1;
}

int clsINI::AddKey(int SectionNum, std::string KeyName, std::string Value) {
    INISection& section = sections_[SectionNum];
    auto& keys = section.keys;
    INIKey key = MakeKey(std::move(KeyName), std::move(Value));
    // A sorted section whose last key does not follow the new one takes it at
    // the end: the usual case when a saved file is read back.
    std::size_t pos = keys.size();
    if (!(section.sorted && (keys.empty() || !KeyLess(key, keys.back())))) {
        pos = 0;
        while (pos < keys.size() && !KeyLess(key, keys[pos]))
            ++pos;
    }
    keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(pos), std::move(key));
    return static_cast<int>(pos);
}

std::string clsINI::ReadString(const std::string& SectionName, const std::string& KeyName,
                               const std::string& DefaultValue) const {
    int s = FindSection(SectionName);
    if (s < 0) return DefaultValue;
    int k = FindKey(s, KeyName);
    return k < 0 ? DefaultValue : sections_[s].keys[k].value;
}

std::string clsINI::ReadString(const std::string& SectionName, const std::string& KeyName,
                               std::int64_t DefaultValue) const {
    return ReadString(SectionName, KeyName, std::to_string(DefaultValue));
}

std::int32_t clsINI::ReadLong(const std::string& SectionName, const std::string& KeyName,
                              std::int32_t DefaultValue) const {
    int s = FindSection(SectionName);
    if (s < 0) return DefaultValue;
    int k = FindKey(s, KeyName);
    return k < 0 ? DefaultValue : ScanLong(sections_[s].keys[k].value);
}

void clsINI::WriteValue(const std::string& SectionName, const std::string& KeyName,
                        const std::string& Value) {
    const std::string section = OneLine(SectionName), name = OneLine(KeyName);
    int s = FindSection(section);
    if (s < 0) {
        AddKey(AddSection(section), name, OneLine(Value));
    } else {
        int k = FindKey(s, name);
        if (k >= 0)
            sections_[s].keys[k].value = OneLine(Value);
        else
            AddKey(s, name, OneLine(Value));
    }
    SaveFile();
}

void clsINI::DeleteSection(const std::string& SectionName) {
    int s = FindSection(SectionName);
    if (s >= 0) sections_.erase(sections_.begin() + s);
    SaveFile();
}

void clsINI::DeleteKey(const std::string& SectionName, const std::string& KeyName) {
    int s = FindSection(SectionName);
    if (s >= 0) {
        int k = FindKey(s, KeyName);
        if (k >= 0) sections_[s].keys.erase(sections_[s].keys.begin() + k);
    }
    SaveFile();
}

}  // namespace tintwell
