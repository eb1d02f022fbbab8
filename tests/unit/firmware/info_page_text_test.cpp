#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/device_info_text.h"
#include "support/language_guard.h"

namespace {

using Lines = std::vector<std::string>;

DeviceInfo Identified(std::uint16_t board, std::uint16_t mainVersion) {
    DeviceInfo info;
    info.valid = true;
    info.board.boardCode = board;
    info.bootVersion = 0x0400;
    info.mainVersion = mainVersion;
    info.modelName = board == 310 ? "Halvane RDK-310.41.0" : "DRAVO 07X ECO RDK-520.2.1";
    info.inf1[9] = 0x21;
    info.inf1[10] = 0x43;
    info.inf1[11] = 0x65;
    info.inf1[12] = 0x87;
    return info;
}

TEST(InfoPageText, Board310OffersTheUpdateUpTo12_5) {
    LanguageGuard english(Language::English);
    EXPECT_EQ(
        DeviceInfoLines(Identified(310, 0x0C05)),
        (Lines{"Connected Device Information", "Device: Halvane RDK-310.41.0", "S/N: 123-45678",
               "------------------------------", "SW BOOT: 4.0", "SW MAIN: 1.20.12.5",
               "------------------------------", "Upgrade to Version 1.20.12.6", "is avaliable"}));
    EXPECT_TRUE(UpdateOfferLines(Identified(310, 0x0C06)).empty());
}

TEST(InfoPageText, BootModeShowsTheNoteAndNoOffer) {
    LanguageGuard russian(Language::Russian);
    const Lines lines = DeviceInfoLines(Identified(310, 0));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[1], "Версия прибора: Halvane RDK-310.41.0");
    EXPECT_EQ(lines[5], "SW MAIN: 1.20.0.0");
    EXPECT_EQ(lines[7], "Прибор находится в режиме BOOT");
}

TEST(InfoPageText, Board520OffersBelow12_3InBothLanguages) {
    {
        LanguageGuard russian(Language::Russian);
        const Lines lines = DeviceInfoLines(Identified(520, 0x0C02));
        ASSERT_EQ(lines.size(), 9u);
        EXPECT_EQ(lines[5], "SW MAIN: 12.2");
        EXPECT_EQ(lines[7], "Доступно обновление");
        EXPECT_EQ(lines[8], "до версии 12.3");
    }
    LanguageGuard english(Language::English);
    EXPECT_EQ(UpdateOfferLines(Identified(520, 0x0C02)),
              (Lines{"Upgrade to Version 12.3", "is avaliable"}));
    EXPECT_TRUE(UpdateOfferLines(Identified(520, 0x0C03)).empty());
}

TEST(InfoPageText, OtherBoardsAndFailedIdentificationsShowLess) {
    DeviceInfo other = Identified(405, 0x0C01);
    const Lines lines = DeviceInfoLines(other);
    EXPECT_EQ(lines.size(), 6u) << "no SW MAIN line, no offer";
    other.valid = false;
    EXPECT_TRUE(DeviceInfoLines(other).empty());
    EXPECT_FALSE(UpdateConfirmationText(405));
}

TEST(InfoPageText, ConfirmationNamesTheCarriedVersion) {
    LanguageGuard english(Language::English);
    EXPECT_EQ(*UpdateConfirmationText(310),
              "Device Firmaere\n\rwill Updated/Restored\n\rto Version 1.20.12.6\n\rContinue?");
    EXPECT_EQ(*UpdateConfirmationText(520),
              "Device Firmaere\n\rwill Updated/Restored\n\rto Version 12.3\n\rContinue?");
    LanguageGuard russian(Language::Russian);
    EXPECT_EQ(
        *UpdateConfirmationText(520),
        "Прошивка прибора\n\rбудет обновлена/восстановление\n\rдо версии 12.3\n\rПродолжить?");
}

}  // namespace
