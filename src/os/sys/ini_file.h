#pragma once
// INI files with the meaning of Windows' private-profile functions, on GBK files.
//
// Reading: section and key names are matched without regard to ASCII case (MbsICmp) and with
// their surrounding blanks trimmed, so "IPMSG " and "ipmsg" name the same key. Values lose
// their surrounding blanks and one pair of matching quotes ("..." or '...'). Lines starting
// with ';' are comments; keys before the first section are ignored; of duplicate keys the
// first wins, and of duplicate sections the first is the one read and written. Lines may end
// in "\n" or "\r\n".
//
// Writing keeps every other line as it was (comments, order, other sections), ends lines in
// "\r\n" and replaces the file atomically, so a crash never leaves half a file. A file that
// starts with a UTF-8 byte-order mark is read as UTF-8 and written back the same way.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/sys/log_sink.h"

namespace os {

// The largest INI file read; a larger one (or one that is not a regular file) reads as unreadable.
inline constexpr std::size_t kIniReadLimit = 1u << 20;

class IniFile {
  public:
    // An empty file that belongs to no path (Save fails; for parsing text in memory).
    IniFile() = default;

    // Reads the file at the GBK `path`. A missing file loads empty and is created by Save. A
    // file that exists but cannot be read also reads empty, and Save refuses to overwrite it;
    // `log`, when given, is told which file was refused and why.
    static IniFile Load(std::string_view path, LogSink* log = nullptr);
    // Parses file content (bytes as they are on disk).
    static IniFile Parse(std::string_view content);

    const std::string& path() const { return path_; }
    bool readable() const { return readable_; }

    // The value, trimmed and unquoted; empty when the section or key is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // GetPrivateProfileString: the value, else `defaultValue` without its trailing blanks.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // GetPrivateProfileInt: optional leading blanks, an optional sign and the leading digits
    // ("12abc" is 12, "abc" is 0; beyond the int range the nearest limit). A missing key or an
    // empty value gives `defaultValue`.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Sets a value, adding the section (at the end) and the key (after the section's last key)
    // when missing. Refuses (false) an empty section or key name, a section name whose header
    // could not be read back (ending in a GBK lead byte, which pairs with ']'), a key that could
    // not be read back (containing '=', starting with '[' or ';') and any line break or NUL byte,
    // which would let a value write lines of its own.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    bool SetInt(std::string_view section, std::string_view key, int value);
    // Remove every line of the key in the section / every section of that name. True when
    // something was removed.
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);

    // Section names in file order, and the key names of a section (each name once).
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    // The content as GBK text, lines ended by "\r\n" (what Save writes, before any conversion
    // back to UTF-8).
    std::string ToText() const;
    // Writes ToText() to path() atomically.
    bool Save() const;

  private:
    struct Line {
        std::string text;             // as in the file, without the line end
        std::string key;              // trimmed key name; empty for comments, blank and other lines
        std::string value;            // the raw text after '='
        std::size_t valueOffset = 0;  // where that text starts in `text`
    };
    struct Section {
        std::string name;        // trimmed; empty for the lines before the first header
        std::string headerText;  // the header line as in the file
        std::vector<Line> lines;
    };

    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;
    // What Save writes: ToText(), converted back and marked when the file came as UTF-8.
    std::optional<std::string> FileBytes() const;

    std::string path_;
    bool readable_ = true;
    bool utf8WithBom_ = false;  // read as UTF-8 after a byte-order mark; written back so
    std::string keptPrefix_;    // a byte-order mark before content that was not UTF-8
    std::vector<Section> sections_{Section{}};  // [0]: lines before the first section
};

// The Windows profile calls on a file path. Each call reads the file afresh; writes in this
// process are serialised, so two threads writing different keys of one file lose neither.
std::string GetProfileString(std::string_view path, std::string_view section, std::string_view key,
                             std::string_view defaultValue);
int GetProfileInt(std::string_view path, std::string_view section, std::string_view key,
                  int defaultValue);
bool WriteProfileString(std::string_view path, std::string_view section, std::string_view key,
                        std::string_view value);
bool WriteProfileInt(std::string_view path, std::string_view section, std::string_view key,
                     int value);
// True when the key / section is absent afterwards (also when it never was).
bool DeleteProfileKey(std::string_view path, std::string_view section, std::string_view key);
bool DeleteProfileSection(std::string_view path, std::string_view section);

}  // namespace os
