#include "update/file_update_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "os/text/cstring_ops.h"

namespace update {
namespace {

constexpr const char* kBadLine = "更新文件列表数据错误:%s";
constexpr int kLogLevel = 3;

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(';', start);
        if (end == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The leading integer of the text, 0 when there is none (as atoi reads it).
int ReadInt(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool ReadSize(std::string_view text, std::optional<std::uint64_t>& size) {
    text = TrimBlanks(text);
    if (text.empty()) return true;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    size = value;
    return true;
}

bool ReadSha256(std::string_view text, std::string& sha256) {
    text = TrimBlanks(text);
    if (text.empty()) return true;
    if (text.size() != kSha256HexDigits) return false;
    std::string lower;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            lower += c;
        else if (c >= 'a' && c <= 'f')
            lower += c;
        else if (c >= 'A' && c <= 'F')
            lower += static_cast<char>(c - 'A' + 'a');
        else
            return false;
    }
    sha256 = std::move(lower);
    return true;
}

}  // namespace

double ReadVersion(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || !std::isfinite(value)) return 0;
    return value;
}

std::string WriteVersion(double version) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, version, std::chars_format::fixed, 6);
    if (error != std::errc()) return "0.000000";
    return std::string(buffer, end);
}

std::optional<FileUpdateRecord> ParseUpdateLine(std::string_view line, os::LogSink& log) {
    const std::vector<std::string_view> fields = SplitFields(line);
    const auto refuse = [&]() -> std::optional<FileUpdateRecord> {
        log.WriteLog2(kLogLevel, os::Format(kBadLine, std::string(line).c_str()));
        return std::nullopt;
    };
    if (fields.size() < kMinimumFields) return refuse();
    FileUpdateRecord record;
    record.id = ReadInt(fields[0]);
    record.localName = std::string(fields[1]);
    record.dirType = ReadInt(fields[2]);
    record.remotePath = std::string(fields[3]);
    record.version = ReadVersion(fields[4]);
    record.changed = ReadInt(fields[5]) != 0;
    if (fields.size() > 6) record.pending = ReadInt(fields[6]) != 0;
    if (fields.size() > 7 && !ReadSize(fields[7], record.size)) return refuse();
    if (fields.size() > 8 && !ReadSha256(fields[8], record.sha256)) return refuse();
    return record;
}

std::vector<FileUpdateRecord> ParseUpdateList(std::string_view text, os::LogSink& log) {
    std::vector<FileUpdateRecord> records;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (TrimBlanks(line).empty()) continue;
        if (auto record = ParseUpdateLine(line, log)) records.push_back(std::move(*record));
    }
    return records;
}

std::string FormatUpdateRecord(const FileUpdateRecord& record) {
    std::string line = std::to_string(record.id) + ';' + record.localName + ';' +
                       std::to_string(record.dirType) + ';' + record.remotePath + ';' +
                       WriteVersion(record.version) + ';' + (record.changed ? "1" : "0") + ';' +
                       (record.pending ? "1" : "0");
    if (record.size || !record.sha256.empty()) {
        line += ';';
        if (record.size) line += std::to_string(*record.size);
        line += ';' + record.sha256;
    }
    return line;
}

std::string FormatUpdateList(const std::vector<FileUpdateRecord>& records) {
    std::string text;
    for (const FileUpdateRecord& record : records) text += FormatUpdateRecord(record) + "\r\n";
    return text;
}

}  // namespace update
