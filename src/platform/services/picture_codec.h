#pragma once
// Pictures in and out: a pasted bitmap or a screen capture (BMP, PNG or JPEG bytes) is
// decoded to RGB pixels and written as JPEG, with libjpeg-turbo and libpng. Bytes come from
// outside (the clipboard, a host, a peer's file): every decoder checks sizes before it
// allocates and answers nothing for anything it cannot read, never a partial picture.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

// 8-bit RGB, rows top down, no padding: rgb.size() == width * height * 3.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// The largest picture taken, in pixels (a 8K screen is 33 million).
inline constexpr std::uint64_t kMaxPicturePixels = 64ull * 1024 * 1024;

enum class PictureFormat { Bmp, Png, Jpeg, Unknown };

// The format the bytes begin with ("BM", the PNG signature, FF D8 FF).
PictureFormat SniffPictureFormat(std::span<const std::uint8_t> bytes);

// Uncompressed Windows bitmaps: 24 and 32 bits per pixel, bottom-up or top-down, with any of
// the usual header sizes; answers nothing for anything else.
std::optional<RgbPicture> DecodeBmp(std::span<const std::uint8_t> bytes);
std::optional<RgbPicture> DecodePng(std::span<const std::uint8_t> bytes);
std::optional<RgbPicture> DecodeJpeg(std::span<const std::uint8_t> bytes);
// By the format the bytes begin with.
std::optional<RgbPicture> DecodePicture(std::span<const std::uint8_t> bytes);

// JPEG of the picture at `quality` (1..100); nothing for an empty or inconsistent picture.
std::optional<std::vector<std::uint8_t>> EncodeJpeg(const RgbPicture& picture, int quality = 90);

// A 24-bit bottom-up Windows bitmap of the picture.
std::vector<std::uint8_t> EncodeBmp(const RgbPicture& picture);

}  // namespace platform
