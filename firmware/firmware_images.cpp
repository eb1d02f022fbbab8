#include "firmware/firmware_images.h"

std::optional<ImageBytes> ExternalFlashImage(std::uint16_t boardCode) {
    const SupportedModel* model = FindSupportedModel(boardCode);
    if (model == nullptr || model->externalImage.empty()) {
        return std::nullopt;
    }
    return model->externalImage;
}

std::optional<ImageBytes> CpuImage(std::uint16_t boardCode, std::uint8_t revision) {
    const SupportedModel* model = FindSupportedModel(boardCode);
    return model ? model->CpuImage(revision) : std::nullopt;
}

std::uint16_t CarriedMainVersion(std::uint16_t boardCode) {
    const SupportedModel* model = FindSupportedModel(boardCode);
    return model ? model->carriedMainVersion : 0;
}
