#include "protocol/device_info.h"

#include <array>

#include "protocol/device_info_models.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Inf1Block board type index 1..7 to board code.
constexpr std::array<int, 7> kBoardCodeOfIndex{405, 430, 415, 520, 425, 310, 96};

// The first board type with byte 3 = 1 names its display in byte 4.
constexpr std::uint8_t kDisplayBoardIndex = 1;
constexpr std::uint8_t kDisplayMarker = 1;
constexpr std::array<const char*, 3> kDisplayNames{"104", "373", "107_New_ПЭ"};

constexpr std::uint8_t kEcoVariant = 1;

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
    const std::uint8_t index = block[inf1::kBoardIndex];
    if (index < 1 || index > kBoardCodeOfIndex.size()) {
        return "UNKNOWN";
    }
    return "RDK-" + Decimal(kBoardCodeOfIndex[index - 1]) + "." +
           Decimal(block[inf1::kBoardNumber]);
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
    std::string base;
    if (board.boardCode == kBoardK310) {
        base = "Halvane RDK-310";
    } else if (board.boardCode == kBoardK520) {
        base = board.variant == kEcoVariant ? "DRAVO 07X ECO RDK-520" : "RDK-520";
    } else {
        base = "RDK-" + Decimal(board.boardCode);
    }
    return base + "." + Decimal(board.revision) + "." + Decimal(board.variant);
}
