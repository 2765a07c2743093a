#pragma once
// The file-update lists: "currentlist.txt" (what this client has) and "updatelist.txt" (what
// the server offers), one record per line, fields separated by ';':
//
//     id;localName;dirType;remotePath;version;changed[;pending[;size;sha256]]
//
// Lines with fewer than six fields are refused (and logged). The last two fields are ours:
// the download's size in bytes and its SHA-256 as 64 hex digits, each optional (empty or
// absent); a list without them reads as before, and a download that does not match the ones
// given is discarded. Numbers are read and written without regard to the locale, so a version
// is always "1.100000", never "1,100000".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/sys/log_sink.h"

namespace update {

inline constexpr const char* kCurrentListFile = "currentlist.txt";
inline constexpr const char* kServerListFile = "updatelist.txt";
inline constexpr std::size_t kMinimumFields = 6;
inline constexpr std::size_t kSha256HexDigits = 64;

// The local folder a record's file belongs in.
enum class DirType { kSharedDir = 0, kAppDir = 1, kUserFolder = 2 };

struct FileUpdateRecord {
    int id = 0;
    std::string localName;
    int dirType = 0;
    std::string remotePath;
    double version = 0;
    bool changed = false;
    bool pending = false;
    std::optional<std::uint64_t> size;
    std::string sha256;  // lower-case hex, or empty when the list gives none

    friend bool operator==(const FileUpdateRecord&, const FileUpdateRecord&) = default;
};

// One line (without its line end). Nothing, with a log line, when it has too few fields or
// a size or checksum field that is not one.
std::optional<FileUpdateRecord> ParseUpdateLine(std::string_view line, os::LogSink& log);
// Every record of a list file's text; CR LF and LF line ends, blank lines skipped.
std::vector<FileUpdateRecord> ParseUpdateList(std::string_view text, os::LogSink& log);

// "%d;%s;%d;%s;%f;%d;%d", then ";size;sha256" when the record carries either.
std::string FormatUpdateRecord(const FileUpdateRecord& record);
// Every record, each line ended by CR LF.
std::string FormatUpdateList(const std::vector<FileUpdateRecord>& records);

// A version field read as a number whatever the locale: the leading decimal number of the
// text ("1.05", " 2", "3.5abc"), 0 when there is none.
double ReadVersion(std::string_view text);
// Six decimals with a '.', whatever the locale.
std::string WriteVersion(double version);

}  // namespace update
