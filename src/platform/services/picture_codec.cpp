#include "platform/services/picture_codec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

std::uint32_t ReadLe32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t ReadLe16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

bool SizeAllowed(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width * height <= kMaxPicturePixels;
}

// libjpeg reports a fatal error through error_exit, which must not return: it jumps back to
// the call that set `jump`. Only plain data lives between setjmp and longjmp.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void IgnoreJpegMessage(j_common_ptr) {}

// Decodes into `out` (already empty); false on any error. No object with a destructor is
// made inside: a longjmp leaves this function.
bool DecodeJpegInto(const std::uint8_t* data, std::size_t size, RgbPicture* out) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.output_message = IgnoreJpegMessage;
    std::uint8_t* pixels = nullptr;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
        !SizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    out->width = static_cast<int>(info.output_width);
    out->height = static_cast<int>(info.output_height);
    out->rgb.resize(static_cast<std::size_t>(out->width) * out->height * 3);
    pixels = out->rgb.data();
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + static_cast<std::size_t>(info.output_scanline) * out->width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // A warning means corrupt or missing data that libjpeg filled in: no partial pictures.
    const bool clean = error.manager.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return clean;
}

bool EncodeJpegInto(const RgbPicture& picture, int quality, unsigned char** buffer,
                    unsigned long* size) {
    jpeg_compress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.output_message = IgnoreJpegMessage;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(picture.rgb.data()) +
                       static_cast<std::size_t>(info.next_scanline) * picture.width * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

PictureFormat SniffPictureFormat(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return PictureFormat::Bmp;
    static constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0) return PictureFormat::Png;
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        return PictureFormat::Jpeg;
    }
    return PictureFormat::Unknown;
}

std::optional<RgbPicture> DecodeBmp(std::span<const std::uint8_t> bytes) {
    // File header (14 bytes) then an info header of at least 40 bytes.
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const std::uint32_t dataOffset = ReadLe32(bytes, 10);
    const std::uint32_t headerSize = ReadLe32(bytes, 14);
    if (headerSize < 40 || headerSize > bytes.size() - 14) return std::nullopt;
    const auto width = static_cast<std::int32_t>(ReadLe32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(ReadLe32(bytes, 22));
    const std::uint16_t planes = ReadLe16(bytes, 26);
    const std::uint16_t bits = ReadLe16(bytes, 28);
    const std::uint32_t compression = ReadLe32(bytes, 30);
    // BI_RGB, or BI_BITFIELDS for 32 bits with the usual BGRA masks.
    if (planes != 1 || (bits != 24 && bits != 32)) return std::nullopt;
    if (compression != 0 && !(compression == 3 && bits == 32)) return std::nullopt;
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return std::nullopt;
    const bool topDown = rawHeight < 0;
    const std::uint64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (!SizeAllowed(static_cast<std::uint64_t>(width), height)) return std::nullopt;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits / 8 + 3) & ~3ull;
    if (dataOffset < 14 + headerSize || dataOffset > bytes.size() ||
        stride * height > bytes.size() - dataOffset) {
        return std::nullopt;
    }
    RgbPicture picture;
    picture.width = width;
    picture.height = static_cast<int>(height);
    picture.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    const std::size_t step = bits / 8;
    for (std::uint64_t y = 0; y < height; ++y) {
        const std::uint64_t sourceRow = topDown ? y : height - 1 - y;
        const std::uint8_t* in = bytes.data() + dataOffset + sourceRow * stride;
        std::uint8_t* out = picture.rgb.data() + y * width * 3;
        for (std::int32_t x = 0; x < width; ++x, in += step, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return picture;
}

std::optional<RgbPicture> DecodePng(std::span<const std::uint8_t> bytes) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        return std::nullopt;
    }
    if (!SizeAllowed(image.width, image.height)) {
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGB;
    RgbPicture picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    // A transparent picture is laid on white, as it shows in the view.
    const png_color white = {255, 255, 255};
    if (png_image_finish_read(&image, &white, picture.rgb.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return std::nullopt;
    }
    return picture;
}

std::optional<RgbPicture> DecodeJpeg(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    RgbPicture picture;
    if (!DecodeJpegInto(bytes.data(), bytes.size(), &picture)) return std::nullopt;
    return picture;
}

std::optional<RgbPicture> DecodePicture(std::span<const std::uint8_t> bytes) {
    switch (SniffPictureFormat(bytes)) {
        case PictureFormat::Bmp:
            return DecodeBmp(bytes);
        case PictureFormat::Png:
            return DecodePng(bytes);
        case PictureFormat::Jpeg:
            return DecodeJpeg(bytes);
        case PictureFormat::Unknown:
            break;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> EncodeJpeg(const RgbPicture& picture, int quality) {
    if (picture.width <= 0 || picture.height <= 0 ||
        !SizeAllowed(static_cast<std::uint64_t>(picture.width), picture.height) ||
        picture.rgb.size() != static_cast<std::size_t>(picture.width) * picture.height * 3) {
        return std::nullopt;
    }
    if (quality < 1) quality = 1;
    if (quality > 100) quality = 100;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool encoded = EncodeJpegInto(picture, quality, &buffer, &size);
    std::optional<std::vector<std::uint8_t>> jpeg;
    if (encoded && buffer != nullptr) jpeg.emplace(buffer, buffer + size);
    std::free(buffer);
    return jpeg;
}

std::vector<std::uint8_t> EncodeBmp(const RgbPicture& picture) {
    const std::size_t width = static_cast<std::size_t>(std::max(picture.width, 0));
    const std::size_t height = static_cast<std::size_t>(std::max(picture.height, 0));
    if (picture.rgb.size() != width * height * 3) return {};
    const std::size_t stride = (width * 3 + 3) & ~std::size_t{3};
    const std::size_t dataSize = stride * height;
    std::vector<std::uint8_t> out(54 + dataSize, 0);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    out[26] = 1;   // planes
    out[28] = 24;  // bits per pixel
    put32(34, static_cast<std::uint32_t>(dataSize));
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* in = picture.rgb.data() + (height - 1 - y) * width * 3;
        std::uint8_t* row = out.data() + 54 + y * stride;
        for (std::size_t x = 0; x < width; ++x) {
            row[x * 3] = in[x * 3 + 2];
            row[x * 3 + 1] = in[x * 3 + 1];
            row[x * 3 + 2] = in[x * 3];
        }
    }
    return out;
}

}  // namespace platform
