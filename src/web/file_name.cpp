#include "web/file_name.h"

#include "os/text/gbk_chars.h"

namespace web {

std::string_view FileNamePart(std::string_view path) {
    std::size_t nameStart = 0;
    for (std::size_t at = 0; at < path.size();) {
        const int length = os::GbkCharLength(path, at);
        if (length == 1 && (path[at] == '\\' || path[at] == '/')) nameStart = at + 1;
        at += static_cast<std::size_t>(length > 0 ? length : 1);
    }
    return path.substr(nameStart);
}

}  // namespace web
