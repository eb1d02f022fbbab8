#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One image file of protocol/images as the build embedded it.
struct EmbeddedImage {
    const char* file;
    const std::uint8_t* data;
    std::size_t size;
};

// Every embedded image; the build checked each one's size.
const std::vector<EmbeddedImage>& EmbeddedImages();
