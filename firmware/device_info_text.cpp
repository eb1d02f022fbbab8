#include "firmware/device_info_text.h"

#include "base/language.h"
#include "firmware/firmware_images.h"
#include "protocol/device_models.h"

namespace {

constexpr const char* kRule = "------------------------------";

}  // namespace

std::string AnnouncedCarriedVersion(std::uint16_t boardCode) {
    const SupportedModel* model = FindSupportedModel(boardCode);
    const std::string version = VersionText(CarriedMainVersion(boardCode));
    return model ? model->announcedPrefix + version : version;
}

std::vector<std::string> UpdateOfferLines(const DeviceInfo& info) {
    const std::uint16_t board = info.board.boardCode;
    const std::uint16_t carried = CarriedMainVersion(board);
    if (info.BootMode() || carried == 0 || info.mainVersion >= carried) {
        return {};
    }
    const std::string version = AnnouncedCarriedVersion(board);
    return {PickText("Доступно обновление", "Upgrade to Version " + version),
            PickText("до версии " + version, "is avaliable")};
}

std::vector<std::string> DeviceInfoLines(const DeviceInfo& info) {
    if (!info.valid) {
        return {};
    }
    std::vector<std::string> lines{
        PickText("Информация о подключенном приборе", "Connected Device Information"),
        PickText("Версия прибора: ", "Device: ") + info.modelName,
        "S/N: " + SerialNumberText(info.inf1), kRule, "SW BOOT: " + VersionText(info.bootVersion)};
    if (const SupportedModel* model = FindSupportedModel(info.board.boardCode)) {
        lines.push_back("SW MAIN: " + std::string(model->announcedPrefix) +
                        VersionText(info.mainVersion));
    }
    lines.push_back(kRule);
    if (info.BootMode()) {
        lines.push_back(PickText("Прибор находится в режиме BOOT", "Your Device is in BOOT Mode"));
    }
    for (const std::string& line : UpdateOfferLines(info)) {
        lines.push_back(line);
    }
    return lines;
}

std::optional<std::string> UpdateConfirmationText(std::uint16_t boardCode) {
    if (CarriedMainVersion(boardCode) == 0) {
        return std::nullopt;
    }
    const std::string version = AnnouncedCarriedVersion(boardCode);
    return PickText(
        "Прошивка прибора\n\rбудет обновлена/восстановление\n\rдо версии " + version +
            "\n\rПродолжить?",
        "Device Firmaere\n\rwill Updated/Restored\n\rto Version " + version + "\n\rContinue?");
}
