#include "os/text/gbk_codec.h"

#include <iconv.h>

#include <cerrno>

namespace os {
namespace {

// One iconv conversion. `lossy` replaces an undecodable input unit by '?' and goes on.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out, bool lossy) {
    out.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;

    std::string result;
    result.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t written = 0;
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = result.data() + written;
        size_t dstLeft = result.size() - written;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        written = result.size() - dstLeft;
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            result.resize(result.size() * 2);
        } else if (lossy && (errno == EILSEQ || errno == EINVAL)) {
            if (result.size() - written < 1) result.resize(result.size() * 2);
            result[written++] = '?';
            ++src;
            --srcLeft;
        } else {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return false;
    result.resize(written);
    out = std::move(result);
    return true;
}

}  // namespace

bool GbkToUtf8(std::string_view gbk, std::string& out) {
    return Convert("UTF-8", "CP936", gbk, out, false);
}

bool Utf8ToGbk(std::string_view utf8, std::string& out) {
    return Convert("CP936", "UTF-8", utf8, out, false);
}

std::string GbkToUtf8Lossy(std::string_view gbk) {
    std::string out;
    Convert("UTF-8", "CP936", gbk, out, true);
    return out;
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
    std::string out;
    Convert("CP936", "UTF-8", utf8, out, true);
    return out;
}

}  // namespace os
