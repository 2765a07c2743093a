// Pictures in and out: bitmaps, PNG and JPEG decode to the same pixels; broken or oversized
// headers are refused before anything is allocated.

#include "platform/services/picture_codec.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

namespace {

platform::RgbPicture Gradient(int width, int height) {
    platform::RgbPicture picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.rgb.push_back(static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1)));
            picture.rgb.push_back(static_cast<std::uint8_t>(y * 255 / std::max(height - 1, 1)));
            picture.rgb.push_back(128);
        }
    }
    return picture;
}

std::vector<std::uint8_t> Png(const platform::RgbPicture& picture) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    EXPECT_NE(png_image_write_to_memory(&image, nullptr, &size, 0, picture.rgb.data(), 0, nullptr),
              0);
    std::vector<std::uint8_t> bytes(size);
    EXPECT_NE(
        png_image_write_to_memory(&image, bytes.data(), &size, 0, picture.rgb.data(), 0, nullptr),
        0);
    bytes.resize(size);
    return bytes;
}

// The largest difference of one channel between two pictures of one size.
int MaxDifference(const platform::RgbPicture& a, const platform::RgbPicture& b) {
    int most = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i)
        most = std::max(most, std::abs(a.rgb[i] - b.rgb[i]));
    return most;
}

TEST(PictureCodecTest, BitmapsAndPngsDecodeExactlyAndJpegRoundTripsClosely) {
    const platform::RgbPicture picture = Gradient(37, 21);  // a row length that needs padding
    const auto bmp = platform::DecodePicture(platform::EncodeBmp(picture));
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->rgb, picture.rgb);
    const auto png = platform::DecodePicture(Png(picture));
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->rgb, picture.rgb);

    const auto jpeg = platform::EncodeJpeg(picture, 95);
    ASSERT_TRUE(jpeg.has_value());
    EXPECT_EQ(platform::SniffPictureFormat(*jpeg), platform::PictureFormat::Jpeg);
    const auto back = platform::DecodePicture(*jpeg);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->width, 37);
    ASSERT_EQ(back->height, 21);
    EXPECT_LT(MaxDifference(*back, picture), 24);
}

TEST(PictureCodecTest, ATopDownBitmapIsReadTopDown) {
    const platform::RgbPicture picture = Gradient(4, 3);
    std::vector<std::uint8_t> bmp = platform::EncodeBmp(picture);
    // Flip the rows in the file and mark the height negative.
    const std::size_t stride = 12;
    std::vector<std::uint8_t> flipped(bmp.begin(), bmp.begin() + 54);
    for (int row = 2; row >= 0; --row) {
        flipped.insert(flipped.end(), bmp.begin() + 54 + row * stride,
                       bmp.begin() + 54 + (row + 1) * stride);
    }
    const std::int32_t negative = -3;
    std::memcpy(&flipped[22], &negative, 4);
    const auto decoded = platform::DecodeBmp(flipped);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->rgb, picture.rgb);
}

TEST(PictureCodecTest, BrokenHeadersAreRefused) {
    const std::vector<std::uint8_t> good = platform::EncodeBmp(Gradient(8, 8));
    struct Case {
        const char* name;
        std::size_t at;
        std::int32_t value;
    };
    const Case cases[] = {
        {"width 0", 18, 0},
        {"negative width", 18, -8},
        {"height 0", 22, 0},
        {"huge picture", 18, 1 << 30},
        {"pixels past the end", 22, 9},
        {"8 bits per pixel", 28, 8},
        {"run-length compressed", 30, 1},
        {"data offset past the end", 10, 100000},
        {"info header past the end", 14, 100000},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        if (c.at == 28) {
            bytes[28] = static_cast<std::uint8_t>(c.value);
        } else {
            std::memcpy(&bytes[c.at], &c.value, 4);
        }
        EXPECT_FALSE(platform::DecodeBmp(bytes).has_value()) << c.name;
    }
    std::vector<std::uint8_t> cut = good;
    cut.resize(good.size() - 1);
    EXPECT_FALSE(platform::DecodeBmp(cut).has_value());

    const std::vector<std::uint8_t> jpeg = *platform::EncodeJpeg(Gradient(16, 16));
    ASSERT_TRUE(platform::DecodeJpeg(jpeg).has_value());
    EXPECT_FALSE(platform::DecodeJpeg({jpeg.data(), jpeg.size() / 2}).has_value());  // cut short
    const std::vector<std::uint8_t> noise = {0xFF, 0xD8, 0xFF, 0x00, 0x01, 0x02};
    EXPECT_FALSE(platform::DecodeJpeg(noise).has_value());
    EXPECT_FALSE(platform::DecodePicture({}).has_value());
    EXPECT_FALSE(platform::EncodeJpeg({}).has_value());
}

}  // namespace
