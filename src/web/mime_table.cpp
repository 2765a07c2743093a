#include "web/mime_table.h"

#include <fstream>
#include <sstream>

#include "web/file_name.h"

namespace web {
namespace {

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Splits a line into words separated by blanks.
template <typename Visit>
void ForEachWord(std::string_view line, Visit visit) {
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && IsBlank(line[at])) ++at;
        const std::size_t start = at;
        while (at < line.size() && !IsBlank(line[at])) ++at;
        if (at > start) visit(line.substr(start, at - start));
    }
}

// A media type is "major/minor" in printable ASCII; anything else would put a broken header
// on the wire.
bool IsMediaType(std::string_view word) {
    const std::size_t slash = word.find('/');
    if (slash == 0 || slash == std::string_view::npos || slash + 1 == word.size()) return false;
    for (char c : word) {
        if (c <= 0x20 || c >= 0x7F || c == ';' || c == '"') return false;
    }
    return true;
}

}  // namespace

MimeTable MimeTable::Parse(std::string_view text) {
    MimeTable table;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        std::string type;
        bool typeRead = false;
        bool usable = true;
        ForEachWord(line, [&](std::string_view word) {
            if (!usable) return;
            if (!typeRead) {
                typeRead = true;
                usable = IsMediaType(word);
                type = std::string(word);
                return;
            }
            table.types_.try_emplace(AsciiLower(word), type);
        });
    }
    return table;
}

MimeTable MimeTable::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return MimeTable{};
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

std::string MimeTable::TypeOfExtension(std::string_view extension) const {
    if (extension.empty()) return kDefaultMediaType;
    const auto found = types_.find(AsciiLower(extension));
    return found == types_.end() ? std::string(kDefaultMediaType) : found->second;
}

std::string MimeTable::TypeOfFile(std::string_view path) const {
    const std::string_view name = FileNamePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return kDefaultMediaType;
    return TypeOfExtension(name.substr(dot + 1));
}

const MimeTable& SystemMimeTable() {
    static const MimeTable table = MimeTable::Load(kSystemMimeTablePath);
    return table;
}

}  // namespace web
