#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "app/jpeg_decode.h"

namespace {

// A width x height JPEG whose left half is red and right half blue.
std::vector<std::uint8_t> MakeJpeg(int width, int height) {
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&encoder, &buffer, &size);
    encoder.image_width = static_cast<JDIMENSION>(width);
    encoder.image_height = static_cast<JDIMENSION>(height);
    encoder.input_components = 3;
    encoder.in_color_space = JCS_RGB;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, 95, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        const bool left = x < width / 2;
        row[static_cast<std::size_t>(x) * 3] = left ? 255 : 0;
        row[static_cast<std::size_t>(x) * 3 + 2] = left ? 0 : 255;
    }
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&encoder, &pointer, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

TEST(DecodeJpeg, GivesRgbRowsOfTheEncodedPicture) {
    const auto jpeg = MakeJpeg(48, 20);
    RgbImage image;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(jpeg.data(), jpeg.size(), image, error)) << error;
    EXPECT_EQ(image.width, 48);
    EXPECT_EQ(image.height, 20);
    ASSERT_EQ(image.pixels.size(), 48u * 20u * 3u);
    const std::size_t leftPixel = (10 * 48 + 4) * 3;
    const std::size_t rightPixel = (10 * 48 + 44) * 3;
    EXPECT_GT(image.pixels[leftPixel], 200);
    EXPECT_LT(image.pixels[leftPixel + 2], 60);
    EXPECT_LT(image.pixels[rightPixel], 60);
    EXPECT_GT(image.pixels[rightPixel + 2], 200);
}

TEST(DecodeJpeg, RefusesJunkAndTruncationWithoutEndingTheProcess) {
    RgbImage image;
    std::string error;
    const std::vector<std::uint8_t> junk{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
    EXPECT_FALSE(DecodeJpeg(junk.data(), junk.size(), image, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(image.pixels.empty());

    EXPECT_FALSE(DecodeJpeg(nullptr, 0, image, error));

    const auto jpeg = MakeJpeg(32, 32);
    const std::vector<std::uint8_t> header(jpeg.begin(), jpeg.begin() + 20);
    error.clear();
    EXPECT_FALSE(DecodeJpeg(header.data(), header.size(), image, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
