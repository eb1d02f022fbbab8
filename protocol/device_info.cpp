#include "protocol/device_info.h"

#include <array>

#include "protocol/device_models.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The first board type with byte 3 = 1 names its display in byte 4.
constexpr std::uint8_t kDisplayBoardIndex = 1;
constexpr std::uint8_t kDisplayMarker = 1;
constexpr std::array<const char*, 3> kDisplayNames{"104", "373", "107_New_ПЭ"};

std::string Decimal(unsigned value) {
    return std::to_string(value);
}

}  // namespace

std::string VersionText(std::uint16_t version) {
    return Decimal(version >> 8) + "." + Decimal(version & 0xFFu);
}

std::string SerialDigits(const Inf1Block& block) {
    std::string digits;
    for (std::size_t i = 0; i < inf1::kSerialBytes; ++i) {
        const std::uint8_t byte = block[inf1::kSerialFirst + i];
        digits += kHexDigits[byte & 0x0F];
        digits += kHexDigits[byte >> 4];
    }
    return digits;
}

std::string SerialNumberText(const Inf1Block& block) {
    const std::string digits = SerialDigits(block);
    return digits.substr(0, 3) + "-" + digits.substr(3);
}

std::string SerialNumberLongText(const Inf1Block& block) {
    const std::string digits = SerialDigits(block);
    return digits.substr(0, 1) + "-" + digits.substr(1, 2) + "-" + digits.substr(3);
}

std::string UniqueIdText(const UniqueId& uid) {
    std::string text;
    for (std::uint8_t byte : uid) {
        if (!text.empty()) {
            text += ':';
        }
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0F];
    }
    return text;
}

std::string BoardText(const Inf1Block& block) {
    const auto code = BoardCodeOfTypeIndex(block[inf1::kBoardIndex]);
    if (!code) {
        return "UNKNOWN";
    }
    return "RDK-" + Decimal(*code) + "." + Decimal(block[inf1::kBoardNumber]);
}

std::string BoardYText(const Inf1Block& block) {
    const std::uint8_t y1 = block[inf1::kBoardY1];
    const std::uint8_t y2 = block[inf1::kBoardY2];
    if (block[inf1::kBoardIndex] == kDisplayBoardIndex && y1 == kDisplayMarker) {
        const bool known = y2 >= 1 && y2 <= kDisplayNames.size();
        return std::string("F4:L=") + (known ? kDisplayNames[y2 - 1] : "ERR");
    }
    return "(" + Decimal(y1) + ":" + Decimal(y2) + ")";
}

std::string ModelName(const BoardInfo& board) {
    const SupportedModel* model = FindSupportedModel(board.boardCode);
    const std::string base = model ? model->NameOf(board) : "RDK-" + Decimal(board.boardCode);
    return base + "." + Decimal(board.revision) + "." + Decimal(board.variant);
}
