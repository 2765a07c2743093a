#include "os/sys/ini_file.h"

#include <climits>
#include <mutex>
#include <utility>

#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"

namespace os {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

int ParseLeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (text[i] - '0');
    }
    long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Profile writes read, change and replace the whole file; one at a time, so that two
// writers in this process do not undo each other.
std::mutex& ProfileWriteMutex() {
    static std::mutex mutex;
    return mutex;
}

// Whether "[name]" parses back as a header of `name`: a name ending in a GBK lead byte would
// pair it with the ']' (0x5D is a trail byte), and the header would never be read.
bool HeaderReadsBack(const std::string& name) {
    const std::string header = "[" + name + "]";
    return ReverseFind(header, ']') == static_cast<int>(header.size()) - 1;
}

}  // namespace

IniFile IniFile::Load(std::string_view path, LogSink* log) {
    IniFile file;
    std::string bytes;
    if (ReadFile(path, bytes, kIniReadLimit, log)) {
        file = Parse(bytes);
    } else {
        // Only a missing file may be created by Save; one we failed to read must not be
        // replaced by the little we know of it.
        file.readable_ = !FileExists(path) && !DirectoryExists(path);
    }
    file.path_ = std::string(path);
    return file;
}

IniFile IniFile::Parse(std::string_view content) {
    IniFile file;
    std::string converted;
    if (content.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        content.remove_prefix(kUtf8Bom.size());
        if (Utf8ToGbk(content, converted)) {
            file.utf8WithBom_ = true;
            content = converted;
        } else {
            file.keptPrefix_ = std::string(kUtf8Bom);
        }
    }

    std::size_t current = 0;  // index: the vector grows with every header
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view text = content.substr(start, end - start);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        start = end + 1;

        std::string trimmed = Trim(text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            int close = ReverseFind(trimmed, ']');
            if (close > 0) {
                file.sections_.push_back(
                    Section{Trim(Mid(trimmed, 1, close - 1)), std::string(text), {}});
                current = file.sections_.size() - 1;
                continue;
            }
        }
        Line line{std::string(text), {}, {}, 0};
        if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '[') {
            int equals = Find(text, '=');
            if (equals >= 0) {
                line.key = Trim(Left(text, equals));
                line.value = Mid(text, equals + 1);
                line.valueOffset = static_cast<std::size_t>(equals) + 1;
            }
        }
        file.sections_[current].lines.push_back(std::move(line));
    }
    return file;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (EqualsNoCase(sections_[i].name, name)) return &sections_[i];
    }
    return nullptr;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    const std::string keyName = Trim(key);
    const Section* found = FindSection(Trim(section));
    if (found == nullptr || keyName.empty()) return std::nullopt;
    for (const Line& line : found->lines) {
        if (!line.key.empty() && EqualsNoCase(line.key, keyName)) return Unquote(Trim(line.value));
    }
    return std::nullopt;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const {
    if (auto value = Get(section, key)) return *value;
    return TrimRight(defaultValue, ' ');
}

int IniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    std::optional<std::string> value = Get(section, key);
    if (!value || value->empty()) return defaultValue;
    return ParseLeadingInt(*value);
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    if (sectionName.empty() || keyName.empty() || !HeaderReadsBack(sectionName) ||
        HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value) ||
        Find(keyName, '=') >= 0 || keyName.front() == '[' || keyName.front() == ';') {
        return false;
    }

    Section* target = FindSection(sectionName);
    if (target == nullptr) {
        sections_.push_back(Section{sectionName, "[" + sectionName + "]", {}});
        target = &sections_.back();
    }
    for (Line& line : target->lines) {
        if (!line.key.empty() && EqualsNoCase(line.key, keyName)) {
            // Only the value changes; the key keeps its spelling and spacing.
            line.text = line.text.substr(0, line.valueOffset) + std::string(value);
            line.value = std::string(value);
            return true;
        }
    }
    // After the section's last non-blank line, so a blank line before the next header stays.
    std::size_t insertAt = target->lines.size();
    while (insertAt > 0 && Trim(target->lines[insertAt - 1].text).empty()) --insertAt;
    target->lines.insert(
        target->lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
        Line{keyName + "=" + std::string(value), keyName, std::string(value), keyName.size() + 1});
    return true;
}

bool IniFile::SetInt(std::string_view section, std::string_view key, int value) {
    return Set(section, key, Format("%d", value));
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    const std::string keyName = Trim(key);
    Section* found = FindSection(Trim(section));
    if (found == nullptr || keyName.empty()) return false;
    return std::erase_if(found->lines, [&](const Line& line) {
               return !line.key.empty() && EqualsNoCase(line.key, keyName);
           }) > 0;
}

bool IniFile::DeleteSection(std::string_view section) {
    const std::string name = Trim(section);
    if (name.empty()) return false;
    std::size_t before = sections_.size();
    // Index 0 (the lines before any header) has an empty name and never matches.
    std::erase_if(sections_,
                  [&](const Section& s) { return !s.name.empty() && EqualsNoCase(s.name, name); });
    return sections_.size() != before;
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (sections_[i].name.empty() || FindSection(sections_[i].name) != &sections_[i]) continue;
        names.push_back(sections_[i].name);
    }
    return names;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    const Section* found = FindSection(Trim(section));
    if (found == nullptr) return names;
    for (const Line& line : found->lines) {
        if (line.key.empty()) continue;
        bool seen = false;
        for (const std::string& name : names) seen = seen || EqualsNoCase(name, line.key);
        if (!seen) names.push_back(line.key);
    }
    return names;
}

std::string IniFile::ToText() const {
    std::string text;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (i > 0) text.append(sections_[i].headerText).append("\r\n");
        for (const Line& line : sections_[i].lines) text.append(line.text).append("\r\n");
    }
    return text;
}

std::optional<std::string> IniFile::FileBytes() const {
    std::string text = ToText();
    if (!utf8WithBom_) return keptPrefix_ + text;
    std::string utf8;
    if (!GbkToUtf8(text, utf8)) return std::nullopt;
    return std::string(kUtf8Bom) + utf8;
}

bool IniFile::Save() const {
    if (path_.empty() || !readable_) return false;
    std::optional<std::string> bytes = FileBytes();
    return bytes && WriteFileAtomically(path_, *bytes);
}

std::string GetProfileString(std::string_view path, std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
    return IniFile::Load(path).GetString(section, key, defaultValue);
}

int GetProfileInt(std::string_view path, std::string_view section, std::string_view key,
                  int defaultValue) {
    return IniFile::Load(path).GetInt(section, key, defaultValue);
}

bool WriteProfileString(std::string_view path, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::lock_guard lock(ProfileWriteMutex());
    IniFile file = IniFile::Load(path);
    return file.readable() && file.Set(section, key, value) && file.Save();
}

bool WriteProfileInt(std::string_view path, std::string_view section, std::string_view key,
                     int value) {
    return WriteProfileString(path, section, key, Format("%d", value));
}

bool DeleteProfileKey(std::string_view path, std::string_view section, std::string_view key) {
    std::lock_guard lock(ProfileWriteMutex());
    IniFile file = IniFile::Load(path);
    if (!file.readable()) return false;
    return !file.DeleteKey(section, key) || file.Save();
}

bool DeleteProfileSection(std::string_view path, std::string_view section) {
    std::lock_guard lock(ProfileWriteMutex());
    IniFile file = IniFile::Load(path);
    if (!file.readable()) return false;
    return !file.DeleteSection(section) || file.Save();
}

}  // namespace os
