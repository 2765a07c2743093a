#include "history/rtoa_body.h"

#include <algorithm>
#include <cctype>

#include "os/text/cstring_ops.h"

namespace history {

std::string TagValue(std::string_view body, std::string_view tag) {
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    const std::size_t start = body.find(open);
    if (start == std::string_view::npos) return {};
    const std::size_t valueStart = start + open.size();
    const std::size_t end = body.find(close, valueStart);
    if (end == std::string_view::npos) return {};
    return os::Trim(body.substr(valueStart, end - valueStart));
}

std::string FormatSendTime(std::string_view digits) {
    const std::string text = os::Trim(digits);
    const bool allDigits = std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (text.size() != 14 || !allDigits) return text;
    return text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2) + " " +
           text.substr(8, 2) + ":" + text.substr(10, 2) + ":" + text.substr(12, 2);
}

RTOABody ParseRTOABody(std::string_view body) {
    RTOABody notice;
    notice.appId = TagValue(body, "Appid");
    notice.appDesc = TagValue(body, "Appdesc");
    notice.tipType = TagValue(body, "TipType");
    notice.count = TagValue(body, "Count");
    notice.desc = TagValue(body, "Desc");
    notice.senderName = TagValue(body, "SenderName");
    notice.sendTime = FormatSendTime(TagValue(body, "SendTime"));
    notice.jumpUrl = TagValue(body, "JumpUrl");
    notice.jumpUrlParam = TagValue(body, "JumpUrlParam");
    notice.displayUrl = TagValue(body, "DisplayUrl");
    notice.offlineTip = TagValue(body, "OfflineTip");
    notice.status = "1";
    return notice;
}

bool IsDroppedOaBody(std::string_view body) {
    return body.find("0101010101") != std::string_view::npos ||
           body.find("0101010102") != std::string_view::npos;
}

}  // namespace history
