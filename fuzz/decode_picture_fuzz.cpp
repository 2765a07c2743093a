// Feeds arbitrary bytes to the picture decoders (pasted bitmaps, screen captures and pictures
// from peers come from outside): each answers a consistent picture or nothing, and what it
// answers encodes as JPEG. The first byte picks the decoder, so each sees every input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "platform/services/picture_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    std::optional<platform::RgbPicture> picture;
    switch (data[0] % 4) {
        case 0:
            picture = platform::DecodeBmp(bytes);
            break;
        case 1:
            picture = platform::DecodePng(bytes);
            break;
        case 2:
            picture = platform::DecodeJpeg(bytes);
            break;
        default:
            picture = platform::DecodePicture(bytes);
            break;
    }
    if (!picture) return 0;
    if (picture->width <= 0 || picture->height <= 0 ||
        picture->rgb.size() != static_cast<std::size_t>(picture->width) * picture->height * 3) {
        std::abort();
    }
    if (static_cast<std::uint64_t>(picture->width) * picture->height <= 1024 * 1024 &&
        !platform::EncodeJpeg(*picture, 50)) {
        std::abort();
    }
    return 0;
}
