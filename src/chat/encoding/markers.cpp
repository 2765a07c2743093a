#include "chat/encoding/markers.h"

#include <cstdio>

namespace chat {

std::string FaceMarker(int face) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "#(%02d)#", face);
    return buffer;
}

std::string PictureMarker(std::string_view fileName) {
    std::string marker(kPictureMarkerOpen);
    marker += fileName;
    marker += ']';
    return marker;
}

std::string OfflineFileMarker(std::string_view fileName, std::string_view size,
                              std::string_view serverKey) {
    std::string marker(kOfflineFileMarker);
    marker += '[';
    marker += fileName;
    marker += '|';
    marker += size;
    marker += '|';
    marker += serverKey;
    marker += ']';
    return marker;
}

std::string PictureReceipt(std::string_view fileName) {
    std::string receipt(kPictureReceiptPrefix);
    receipt += fileName;
    return receipt;
}

bool IsSystemMessage(std::string_view body) {
    // "@#(-0" + digit + ")#@,"
    constexpr std::string_view head = "@#(-0";
    constexpr std::string_view tail = ")#@,";
    if (body.size() < 10 || body.substr(0, 5) != head || body.substr(6, 4) != tail) return false;
    return body[5] >= '0' && body[5] <= '9';
}

}  // namespace chat
