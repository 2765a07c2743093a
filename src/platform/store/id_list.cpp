#include "platform/store/id_list.h"

#include <charconv>

namespace store {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool ParseId(std::string_view piece, std::vector<long>& ids) {
    piece = Trim(piece);
    if (piece.empty()) return true;
    if (piece.front() < '0' || piece.front() > '9') return false;  // no sign, no blank
    long id = 0;
    auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), id);
    if (error != std::errc() || end != piece.data() + piece.size()) return false;
    ids.push_back(id);
    return true;
}

}  // namespace

bool ParseIdList(std::string_view text, std::vector<long>& ids) {
    ids.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t width = 0;
        if (text[i] == '\t')
            width = 1;
        else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 't')
            width = 2;
        if (width == 0) {
            ++i;
            continue;
        }
        if (!ParseId(text.substr(start, i - start), ids)) {
            ids.clear();
            return false;
        }
        i += width;
        start = i;
    }
    if (!ParseId(text.substr(start), ids)) {
        ids.clear();
        return false;
    }
    return true;
}

}  // namespace store
