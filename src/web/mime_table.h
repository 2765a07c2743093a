#pragma once
// The system's table of media types by file extension (/etc/mime.types, Debian's media-types:
// "type ext ext ..." per line, '#' starts a comment). The client asks it for the Content-Type
// of a file it uploads.

#include <string>
#include <string_view>
#include <unordered_map>

namespace web {

inline constexpr const char* kDefaultMediaType = "application/octet-stream";
inline constexpr const char* kSystemMimeTablePath = "/etc/mime.types";

class MimeTable {
  public:
    // Reads the table's text; lines it cannot use are skipped. The first type named for an
    // extension wins.
    static MimeTable Parse(std::string_view text);
    // The table of the file at `path`; empty when it cannot be read.
    static MimeTable Load(const std::string& path);

    // The type for an extension (without the dot, any ASCII case), or kDefaultMediaType.
    std::string TypeOfExtension(std::string_view extension) const;
    // The type for a file: its extension is what follows the last '.' of its name (the part
    // after the last '/' or '\'); a name without one gets kDefaultMediaType.
    std::string TypeOfFile(std::string_view path) const;

    std::size_t size() const { return types_.size(); }

  private:
    std::unordered_map<std::string, std::string> types_;  // lower-case extension -> type
};

// The system's table, read once on first use.
const MimeTable& SystemMimeTable();

}  // namespace web
