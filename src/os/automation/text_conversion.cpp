// GBK <-> UTF-8 for hosts that show or take UTF-8.

#include "os/text/gbk_codec.h"
#include "qorvdesk/automation.h"

namespace qorvdesk::automation {

std::string ToUtf8(std::string_view gbk) { return os::GbkToUtf8Lossy(gbk); }

std::optional<std::string> FromUtf8(std::string_view utf8) {
    std::string gbk;
    if (!os::Utf8ToGbk(utf8, gbk)) return std::nullopt;
    return gbk;
}

}  // namespace qorvdesk::automation
