#include "firmware/firmware_images.h"

#include <cstring>

#include "firmware/embedded_images.h"
#include "protocol/device_info_models.h"

namespace {

constexpr std::uint16_t kCarried310 = 0x0C06;
constexpr std::uint16_t kCarried520 = 0x0C03;

std::optional<ImageBytes> Embedded(const char* file) {
    for (const EmbeddedImage& image : EmbeddedImages()) {
        if (std::strcmp(image.file, file) == 0) {
            return ImageBytes(image.data, image.size);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<ImageBytes> ExternalFlashImage(std::uint16_t boardCode) {
    switch (boardCode) {
        case kBoardK310:
            return Embedded("efl_310.bin");
        case kBoardK520:
            return Embedded("efl_520.bin");
        default:
            return std::nullopt;
    }
}

std::optional<ImageBytes> CpuImage(std::uint16_t boardCode, std::uint8_t revision) {
    if (boardCode == kBoardK310 && revision == 41) {
        return Embedded("cpu_310_41.bin");
    }
    if (boardCode == kBoardK310 && revision == 42) {
        return Embedded("cpu_310_42.bin");
    }
    if (boardCode == kBoardK520 && (revision == 2 || revision == 3)) {
        return Embedded("cpu_520.bin");
    }
    return std::nullopt;
}

std::uint16_t CarriedMainVersion(std::uint16_t boardCode) {
    switch (boardCode) {
        case kBoardK310:
            return kCarried310;
        case kBoardK520:
            return kCarried520;
        default:
            return 0;
    }
}
