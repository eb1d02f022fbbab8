#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded picture: rows of width * 3 bytes (red, green, blue), top row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Decodes a JPEG held in memory. Damaged or foreign data gives false and a
// reason in `error`; it never ends the process.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, RgbImage& image, std::string& error);
