#include <gtest/gtest.h>

#include "protocol/device_info.h"

namespace {

Inf1Block BlockWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    Inf1Block block{};
    for (const auto& [offset, value] : bytes) {
        block[offset] = value;
    }
    return block;
}

TEST(DeviceInfoFields, VersionIsMajorDotMinorInDecimal) {
    EXPECT_EQ(VersionText(0x0C06), "12.6");
    EXPECT_EQ(VersionText(0x0401), "4.1");
    EXPECT_EQ(VersionText(0), "0.0");
    EXPECT_EQ(VersionText(0xFFFF), "255.255");
}

TEST(DeviceInfoFields, SerialNumberTakesLowNibbleFirst) {
    const Inf1Block block = BlockWith({{9, 0x21}, {10, 0x43}, {11, 0x65}, {12, 0x87}});
    EXPECT_EQ(SerialDigits(block), "12345678");
    EXPECT_EQ(SerialNumberText(block), "123-45678");
    EXPECT_EQ(SerialNumberLongText(block), "1-23-45678");
}

TEST(DeviceInfoFields, SerialNumberWritesHexDigitsUpperCase) {
    const Inf1Block block = BlockWith({{8, 0x99}, {9, 0xBA}, {10, 0xDC}, {11, 0xFE}, {13, 0x77}});
    EXPECT_EQ(SerialNumberText(block), "ABC-DEF00");
    EXPECT_EQ(SerialNumberLongText(BlockWith({{9, 0xFF}, {10, 0xFF}, {11, 0xFF}, {12, 0xFF}})),
              "F-FF-FFFFF");
}

TEST(DeviceInfoFields, UniqueIdIsColonSeparatedHex) {
    const UniqueId uid{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x60, 0x71, 0x82, 0x93, 0xFF};
    EXPECT_EQ(UniqueIdText(uid), "00:0A:1B:2C:3D:4E:5F:60:71:82:93:FF");
}

TEST(DeviceInfoFields, BoardTextMapsEveryTypeIndexAndNamesOthersUnknown) {
    const std::pair<std::uint8_t, const char*> expected[] = {
        {1, "RDK-405.7"}, {2, "RDK-430.7"}, {3, "RDK-415.7"}, {4, "RDK-520.7"}, {5, "RDK-425.7"},
        {6, "RDK-310.7"}, {7, "RDK-96.7"},  {0, "UNKNOWN"},   {8, "UNKNOWN"},   {9, "UNKNOWN"},
    };
    for (const auto& [index, text] : expected) {
        EXPECT_EQ(BoardText(BlockWith({{1, index}, {2, 7}})), text) << int(index);
    }
    EXPECT_EQ(BoardText(BlockWith({{1, 6}, {2, 255}})), "RDK-310.255");
}

TEST(DeviceInfoFields, BoardYIsTwoDecimalsInParentheses) {
    EXPECT_EQ(BoardYText(BlockWith({{1, 6}, {3, 2}, {4, 5}})), "(2:5)");
    EXPECT_EQ(BoardYText(BlockWith({{1, 6}, {3, 200}, {4, 0}})), "(200:0)");
    // The display form belongs to the first board type with byte 3 = 1 only.
    EXPECT_EQ(BoardYText(BlockWith({{1, 2}, {3, 1}, {4, 3}})), "(1:3)");
    EXPECT_EQ(BoardYText(BlockWith({{1, 1}, {3, 2}, {4, 1}})), "(2:1)");
}

TEST(DeviceInfoFields, BoardYNamesTheDisplayOfTheFirstBoardType) {
    EXPECT_EQ(BoardYText(BlockWith({{1, 1}, {3, 1}, {4, 1}})), "F4:L=104");
    EXPECT_EQ(BoardYText(BlockWith({{1, 1}, {3, 1}, {4, 2}})), "F4:L=373");
    EXPECT_EQ(BoardYText(BlockWith({{1, 1}, {3, 1}, {4, 3}})), "F4:L=107_New_ПЭ");
    EXPECT_EQ(BoardYText(BlockWith({{1, 1}, {3, 1}, {4, 0}})), "F4:L=ERR");
    EXPECT_EQ(BoardYText(BlockWith({{1, 1}, {3, 1}, {4, 4}})), "F4:L=ERR");
}

TEST(DeviceInfoFields, ModelNameFollowsBoardRevisionAndVariant) {
    EXPECT_EQ(ModelName({310, 41, 0}), "Halvane RDK-310.41.0");
    EXPECT_EQ(ModelName({310, 43, 0}), "Halvane RDK-310.43.0");
    EXPECT_EQ(ModelName({520, 2, 1}), "DRAVO 07X ECO RDK-520.2.1");
    EXPECT_EQ(ModelName({520, 2, 0}), "RDK-520.2.0");
    EXPECT_EQ(ModelName({520, 3, 2}), "RDK-520.3.2");
    EXPECT_EQ(ModelName({405, 0, 0}), "RDK-405.0.0");
}

}  // namespace
