#include "chat/encoding/preview.h"

#include "chat/encoding/markers.h"
#include "chat/encoding/plain_text.h"
#include "chat/encoding/text_scan.h"
#include "os/text/gbk_chars.h"

namespace chat {
namespace {

constexpr std::size_t kShortBody = 20;
constexpr std::size_t kPreviewBytes = 16;

}  // namespace

std::string ToPreviewText(std::string_view body) {
    std::string preview;
    if (body.size() < kShortBody) {
        preview = body;
    } else {
        preview = os::LeftBytes(body, kPreviewBytes);
        preview += "...";
    }
    if (IsSystemMessage(body)) preview = kSystemMessageLabel;

    if (IsShake(preview)) return std::string(kShakeLabel);
    if (scan::FindFrom(preview, kPictureMarker, 0) != scan::npos)
        return std::string(kScreenshotLabel);
    if (preview.compare(0, kOfflineFileMarker.size(), kOfflineFileMarker) == 0)
        return std::string(kOfflineFileLabel);
    return FacesToLabel(preview);
}

std::optional<std::string> PreviewThrottle::Next(std::string_view body) {
    os::Millis now = clock_.Now();
    if (lastShown_ && now - *lastShown_ < kInterval) return std::nullopt;
    lastShown_ = now;
    return ToPreviewText(body);
}

}  // namespace chat
