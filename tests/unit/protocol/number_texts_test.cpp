#include <gtest/gtest.h>

#include "protocol/number_texts.h"
#include "protocol/units.h"
#include "support/language_guard.h"

namespace {

TEST(NumberTexts, TwoDigitsAndHundredths) {
    EXPECT_EQ(TwoDigitText(0), "00");
    EXPECT_EQ(TwoDigitText(7), "07");
    EXPECT_EQ(TwoDigitText(12), "12");
    EXPECT_EQ(TwoDigitText(123), "123");
    EXPECT_EQ(HundredthsText(1234), "12,34");
    EXPECT_EQ(HundredthsText(5), "0,05");
    EXPECT_EQ(HundredthsText(7), "0,07");
    EXPECT_EQ(HundredthsText(100), "1,00");
    EXPECT_EQ(HundredthsText(0), "0,00");
    EXPECT_EQ(HundredthsText(4294967295u), "42949672,95");
}

TEST(DateTexts, ShowPlaceholdersForInvalidFields) {
    EXPECT_EQ(DateText({0, 0, 0, 5, 3, 23}), "05.03.2023");
    EXPECT_EQ(DateText({0, 0, 0, 0, 13, 255}), "--.--.----");
    EXPECT_EQ(DateText({0, 0, 0, 32, 0, 254}), "--.--.20254");
    EXPECT_EQ(DateText({0, 0, 0, 31, 12, 0}), "31.12.2000");
    EXPECT_EQ(TimeText({9, 5, 14, 1, 1, 0}), "14:05:09");
    EXPECT_EQ(TimeText({60, 60, 24, 1, 1, 0}), "--:--:--");
    EXPECT_EQ(TimeText({59, 59, 23, 1, 1, 0}), "23:59:59");
    EXPECT_EQ(DateTimeText({9, 5, 14, 7, 3, 23}), "[07.03.2023]-[14:05:09]");
    EXPECT_EQ(DateTimeText({255, 255, 255, 255, 255, 255}), "[--.--.----]-[--:--:--]");
}

TEST(UnitNames, FollowTheLanguage) {
    {
        LanguageGuard russian(Language::Russian);
        EXPECT_EQ(RateUnitName(0, 0), "мкЗв/ч");
        EXPECT_EQ(RateUnitName(1, 1), " мР/ч");
        EXPECT_EQ(RateUnitName(1, 2), "  Р/ч");
        EXPECT_EQ(RateUnitName(2, 2), "CPM");
        EXPECT_EQ(DoseUnitName(1, 1), " мР");
        EXPECT_EQ(DoseUnitName(1, 2), "  Р");
        EXPECT_EQ(DoseUnitName(2, 1), "ИМП");
        EXPECT_EQ(HistoryRateUnitName(), "мкР/час");
    }
    {
        LanguageGuard english(Language::English);
        EXPECT_EQ(RateUnitName(1, 1), "mR/h");
        EXPECT_EQ(RateUnitName(1, 2), "R/h");
        EXPECT_EQ(RateUnitName(0, 2), "Sv/h");
        EXPECT_EQ(DoseUnitName(0, 1), "mSv");
        EXPECT_EQ(DoseUnitName(2, 0), "PULSES");
        EXPECT_EQ(DoseUnitName(2, 2), "PULSES*E6");
        EXPECT_EQ(HistoryRateUnitName(), "uR/h");
    }
}

TEST(UnitNames, OutOfRangeFallsBackToMicroSievert) {
    LanguageGuard english(Language::English);
    EXPECT_EQ(RateUnitName(3, 0), "uSv/h");
    EXPECT_EQ(RateUnitName(1, 3), "uSv/h");
    EXPECT_EQ(RateUnitName(-1, 1), "uSv/h");
    EXPECT_EQ(DoseUnitName(2, -1), "uSv");
    SetUiLanguage(Language::Russian);
    EXPECT_EQ(RateUnitName(3, 0), "мкЗв/ч");
    EXPECT_EQ(DoseUnitName(7, 7), "мкЗв");
}

}  // namespace
