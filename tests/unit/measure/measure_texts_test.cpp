#include <gtest/gtest.h>

#include <cstdint>

#include "measure/measure_texts.h"

namespace {

TEST(DeviceText, StopsAtTheFirstZeroOrTheCapacity) {
    const std::uint8_t full[11] = {'1', '2', '3', '4', '5', '6', '7', ',', '8', '9', 0};
    EXPECT_EQ(DeviceText(full, 11), "1234567,89");
    EXPECT_EQ(DeviceText(full, 4), "1234");
    const std::uint8_t shortText[11] = {'u', 'S', 'v', 0, 'x', 'x'};
    EXPECT_EQ(DeviceText(shortText, 11), "uSv");
    const std::uint8_t empty[11] = {};
    EXPECT_EQ(DeviceText(empty, 11), "");
}

TEST(DeviceText, CyrillicArrivesAsUtf8EitherWay) {
    const std::uint8_t windows1251[11] = {0xEC, 0xEA, 0xC7, 0xE2, 0};  // мкЗв
    EXPECT_EQ(DeviceText(windows1251, 11), "мкЗв");
    const std::uint8_t utf8[11] = {0xD0, 0x98, 0xD0, 0x9C, 0xD0, 0x9F, 0};  // ИМП
    EXPECT_EQ(DeviceText(utf8, 11), "ИМП");
    const std::uint8_t mixed[11] = {'5', 0x81, 0xA8, 0xB8, 0};
    EXPECT_EQ(DeviceText(mixed, 11), "5?Ёё");
}

}  // namespace
