#include <gtest/gtest.h>

#include <string>

#include "base/language.h"
#include "settings/calibration.h"

namespace {

struct Row {
    const char* text;
    CalibrationCheck check;
    std::uint32_t value;
};

TEST(CalibrationTest, ParsesEveryAcceptedFormAndRefusesTheRest) {
    const Row rows[] = {
        {"1,27", CalibrationCheck::Valid, 127},
        {"1,2", CalibrationCheck::Valid, 120},
        {"1.5", CalibrationCheck::Valid, 150},
        {"1,", CalibrationCheck::Valid, 100},
        {"2", CalibrationCheck::Valid, 200},
        {"0,1", CalibrationCheck::Valid, 10},
        {"9,99", CalibrationCheck::Valid, 999},
        {"0,09", CalibrationCheck::RangeError, 0},
        {"10", CalibrationCheck::RangeError, 0},
        {"123456", CalibrationCheck::RangeError, 0},
        {",5", CalibrationCheck::FormatError, 0},
        {"1,234", CalibrationCheck::FormatError, 0},
        {"1,2,3", CalibrationCheck::FormatError, 0},
        {"", CalibrationCheck::FormatError, 0},
        {"-1,5", CalibrationCheck::FormatError, 0},
        {"1,-5", CalibrationCheck::FormatError, 0},
        {"1,+", CalibrationCheck::FormatError, 0},
        {"1.2,3", CalibrationCheck::FormatError, 0},  // the comma is the separator
        {"abc", CalibrationCheck::FormatError, 0},
        {"+1,5", CalibrationCheck::Valid, 150},
        // Whole numbers beyond 32 bits are no numbers; the rest never overflow.
        {"99999999999", CalibrationCheck::FormatError, 0},
        {"2147483648", CalibrationCheck::FormatError, 0},
        {"2147483647,99", CalibrationCheck::RangeError, 0},
        {"2147483647", CalibrationCheck::RangeError, 0},
        {"42949673", CalibrationCheck::RangeError, 0},  // x100 wraps 32 bits to 4
    };
    for (const Row& row : rows) {
        std::uint32_t value = 0;
        EXPECT_EQ(CheckCalibration(row.text, value), row.check) << row.text;
        if (row.check == CalibrationCheck::Valid) {
            EXPECT_EQ(value, row.value) << row.text;
        }
    }
    EXPECT_EQ(ParseCalibration("2147483647,99"), 214748364799u);
}

TEST(CalibrationTest, NormalAndClampedTexts) {
    EXPECT_EQ(CalibrationText(127), "1,27");
    EXPECT_EQ(CalibrationText(50), "0,50");
    EXPECT_EQ(CalibrationText(999), "9,99");
    EXPECT_EQ(CalibrationText(105), "1,05");
    EXPECT_EQ(CalibrationDisplayText(5), "0,10");
    EXPECT_EQ(CalibrationDisplayText(1500), "9,99");
    EXPECT_EQ(CalibrationDisplayText(0xFFFFFFFFu), "9,99");
}

TEST(CalibrationTest, KeyFilterPassesDigitsSeparatorsAndControls) {
    for (char32_t c : std::u32string(U"0123456789,.\b\x16\x03")) {
        EXPECT_TRUE(CalibrationKeyAllowed(c)) << static_cast<int>(c);
    }
    for (char32_t c : std::u32string(U"a -+eЖ")) {
        EXPECT_FALSE(CalibrationKeyAllowed(c)) << static_cast<int>(c);
    }
}

TEST(CalibrationTest, MessagesNameTheTextAsTyped) {
    SetUiLanguage(Language::English);
    EXPECT_EQ(CalibrationErrorMessage(CalibrationCheck::FormatError, "1,2,3"),
              "K Format Error [1,2,3]");
    EXPECT_EQ(CalibrationErrorMessage(CalibrationCheck::RangeError, "10"),
              "Error: K is to be from 0,1 to 9,99 [10]");
    SetUiLanguage(Language::Russian);
    EXPECT_EQ(CalibrationErrorMessage(CalibrationCheck::FormatError, ""),
              "Ошибка формата коэффициента []");
}

}  // namespace
