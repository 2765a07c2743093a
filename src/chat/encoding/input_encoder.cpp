#include "chat/encoding/input_encoder.h"

#include "chat/encoding/markers.h"
#include "os/controls/rich_edit.h"

namespace chat {

std::string PictureKey(std::uint32_t pictureNumber) { return std::to_string(pictureNumber); }

EncodedInput EncodeInputText(const os::RichEdit& input, const PictureMap& pictures,
                             std::vector<std::string>& outgoingPictures) {
    EncodedInput result;
    result.body.reserve(input.GetTextByteLength());
    input.ForEachSegment(0, -1, [&](const os::RichSegment& segment) {
        if (segment.type == os::RichSegment::Type::Text) {
            result.body += segment.text;
            return;
        }
        std::uint32_t value = segment.object.userValue;
        if (value < kFirstPictureNumber) {
            result.body += FaceMarker(static_cast<int>(value));
            return;
        }
        auto picture = pictures.find(PictureKey(value));
        if (picture == pictures.end()) return;
        result.body += PictureMarker(picture->second);
        outgoingPictures.push_back(picture->second);
        ++result.pictureCount;
    });
    return result;
}

}  // namespace chat
