#include <gtest/gtest.h>

#include "base/app_log.h"
#include "protocol/operation_gate.h"
#include "support/language_guard.h"
#include "support/recording_dialogs.h"

namespace {

GateInputs Device(BoardInfo board, std::uint16_t mainVersion) {
    return {true, true, board, SoftInfo{0x0401, mainVersion, 0x08000100}};
}

const GateInputs kK310 = Device({310, 41, 0}, 0x0C06);
const GateInputs kK520 = Device({520, 2, 1}, 0x0C03);

TEST(GateRefusal, ReasonsInOrderOfPrecedence) {
    GateInputs unplugged = kK310;
    unplugged.connected = false;
    EXPECT_EQ(RefusalReason(unplugged), GateRefusal::NotConnected);
    unplugged.recognized = false;
    EXPECT_EQ(RefusalReason(unplugged), GateRefusal::NotConnected);

    GateInputs unknown = kK310;
    unknown.recognized = false;
    EXPECT_EQ(RefusalReason(unknown), GateRefusal::NotRecognized);

    EXPECT_EQ(RefusalReason(Device({405, 0, 0}, 0x0C06)), GateRefusal::UnsupportedBoard);
    // An old revision is reported before old firmware.
    EXPECT_EQ(RefusalReason(Device({310, 43, 0}, 0x0C05)), GateRefusal::UnsupportedVersion);
}

TEST(GateRefusal, HardwareOfEachModel) {
    EXPECT_EQ(RefusalReason(kK310), GateRefusal::None);
    EXPECT_EQ(RefusalReason(Device({310, 42, 7}, 0x0C06)), GateRefusal::None);
    EXPECT_EQ(RefusalReason(Device({310, 40, 0}, 0x0C06)), GateRefusal::UnsupportedVersion);
    EXPECT_EQ(RefusalReason(kK520), GateRefusal::None);
    EXPECT_EQ(RefusalReason(Device({520, 3, 1}, 0x0C03)), GateRefusal::None);
    EXPECT_EQ(RefusalReason(Device({520, 2, 0}, 0x0C03)), GateRefusal::UnsupportedVersion);
    EXPECT_EQ(RefusalReason(Device({520, 4, 1}, 0x0C03)), GateRefusal::UnsupportedVersion);
}

TEST(GateRefusal, FirmwareMinimumOfEachModel) {
    EXPECT_EQ(RefusalReason(Device({310, 41, 0}, 0x0C05)), GateRefusal::FirmwareTooOld);
    EXPECT_EQ(RefusalReason(Device({520, 2, 1}, 0x0C02)), GateRefusal::FirmwareTooOld);
    // 0x0C03 is enough for the 520 but not for the 310.
    EXPECT_EQ(RefusalReason(Device({310, 41, 0}, 0x0C03)), GateRefusal::FirmwareTooOld);
    // Boot mode is below every minimum.
    EXPECT_EQ(RefusalReason(Device({310, 41, 0}, 0)), GateRefusal::FirmwareTooOld);
    EXPECT_EQ(RefusalReason(Device({520, 2, 1}, 0)), GateRefusal::FirmwareTooOld);
}

TEST(GateRefusal, ForgottenRecordsRefuse) {
    GateInputs noBoard = kK310;
    noBoard.board.reset();
    EXPECT_EQ(RefusalReason(noBoard), GateRefusal::UnsupportedBoard);
    GateInputs noSoft = kK310;
    noSoft.soft.reset();
    EXPECT_EQ(RefusalReason(noSoft), GateRefusal::FirmwareTooOld);
}

class OperationGateTest : public ::testing::Test {
  protected:
    OperationGate gate{[this] { return inputs; }, dialogs, log};
    GateInputs inputs;
    RecordingDialogs dialogs;
    AppLog log;
};

TEST_F(OperationGateTest, AllowedShowsAndLogsNothing) {
    inputs = kK520;
    EXPECT_TRUE(gate.Check("Prefix", true));
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(OperationGateTest, EmptyPrefixShowsOnlyTheReason) {
    LanguageGuard english(Language::English);
    EXPECT_FALSE(gate.Check("", true));
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Device not connected"});
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"# ERROR: \"DevAccessCheck Error=1\""});
}

TEST_F(OperationGateTest, ReasonTextsInBothLanguages) {
    const std::tuple<GateInputs, const char*, const char*> cases[] = {
        {Device({310, 41, 0}, 0x0C06), "", ""},
        {GateInputs{true, false, {}, {}}, "Bad connection or\n\rDevice is not recognised",
         "Некорректное подключение\n\rили подключен неизвестный прибор"},
        {Device({425, 1, 0}, 0x0C06), "Bad connection or\n\rDevice is not recognised",
         "Некорректное подключение\n\rили подключен неизвестный прибор"},
        {Device({310, 43, 0}, 0x0C06), "Your Device Version is not supported",
         "Версия вашего прибора не поддерживается"},
        {Device({310, 41, 0}, 0), "You need Upgrade Firmware\n\rPlease goto Page \"About Device\"",
         "Требуется обновление прошивки\n\rПожалуйста зайдите на страницу \"О приборе\""},
    };
    for (const auto& [device, english, russian] : cases) {
        inputs = device;
        {
            LanguageGuard guard(Language::English);
            EXPECT_EQ(RefusalMessage(RefusalReason(inputs)), english);
        }
        LanguageGuard guard(Language::Russian);
        EXPECT_EQ(RefusalMessage(RefusalReason(inputs)), russian);
    }
}

TEST_F(OperationGateTest, PrefixComesFirstWithALineBreak) {
    LanguageGuard english(Language::English);
    inputs = Device({310, 41, 0}, 0x0C05);
    EXPECT_FALSE(gate.Check("Read Settings", true));
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0],
              "Read Settings\n\rYou need Upgrade Firmware\n\rPlease goto Page \"About Device\"");
    EXPECT_EQ(log.Lines().back(), "# ERROR: \"DevAccessCheck Error=5\"");
}

TEST_F(OperationGateTest, SilentRefusalShowsOnlyThePrefix) {
    inputs = Device({520, 2, 0}, 0x0C03);
    EXPECT_FALSE(gate.Check("", false));
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(log.Lines().empty());

    EXPECT_FALSE(gate.Check("Caption", false));
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Caption\n\r"});
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"# ERROR: \"DevAccessCheck Error=4\""});
}

TEST_F(OperationGateTest, SettingsAccessAddsItsLine) {
    {
        LanguageGuard english(Language::English);
        EXPECT_FALSE(gate.CheckSettingsAccess(""));
        EXPECT_FALSE(gate.CheckSettingsAccess("Save Settings"));
    }
    LanguageGuard russian(Language::Russian);
    inputs = Device({310, 41, 0}, 0x0C05);
    EXPECT_FALSE(gate.CheckSettingsAccess("Чтение настроек"));
    inputs = kK310;
    EXPECT_TRUE(gate.CheckSettingsAccess("Чтение настроек"));
    EXPECT_EQ(dialogs.errors,
              (std::vector<std::string>{
                  "Error Settings Access\n\rDevice not connected",
                  "Save Settings\n\rError Settings Access\n\rDevice not connected",
                  "Чтение настроек\n\rОшибка доступа к настройкам\n\rТребуется обновление "
                  "прошивки\n\rПожалуйста зайдите на страницу \"О приборе\"",
              }));
}

TEST_F(OperationGateTest, PageGateLeavesTheNoticeWithoutARecognisedDevice) {
    std::string notice = "previous";
    inputs = kK310;
    inputs.connected = false;
    EXPECT_FALSE(gate.CheckPage(notice));
    inputs.connected = true;
    inputs.recognized = false;
    EXPECT_FALSE(gate.CheckPage(notice));
    EXPECT_EQ(notice, "previous");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(log.Lines().empty());
}

// The pages check the firmware only: revision and other boards are the
// operation gate's business. A page that may run clears the old notice.
TEST_F(OperationGateTest, PageGateNoticesFollowTheFirmwareAndTheLanguage) {
    const std::tuple<Language, GateInputs, bool, const char*> cases[] = {
        {Language::English, Device({520, 2, 1}, 0), false, "In BOOT\n\rMode is\n\rUnavaliable"},
        {Language::English, Device({310, 41, 0}, 0x0C05), false, "Need\n\rto Update\n\rFirmware"},
        {Language::English, Device({520, 2, 1}, 0x0C02), false, "Need\n\rto Update\n\rFirmware"},
        {Language::English, Device({310, 41, 0}, 0x0C06), true, ""},
        {Language::Russian, Device({310, 41, 0}, 0), false, "В режиме\n\rBOOT\n\rнедоступно"},
        {Language::Russian, Device({520, 3, 1}, 0x0C00), false, "Обновите\n\rпрошивку\n\rприбора"},
        {Language::Russian, Device({310, 43, 0}, 0x0C06), true, ""},
        {Language::English, Device({520, 3, 1}, 0x0C00), false, "Need\n\rto Update\n\rFirmware"},
        {Language::English, Device({405, 0, 0}, 0x0100), true, ""},
    };
    std::string notice;
    for (const auto& [language, device, allowed, expected] : cases) {
        LanguageGuard guard(language);
        inputs = device;
        EXPECT_EQ(gate.CheckPage(notice), allowed) << expected;
        EXPECT_EQ(notice, expected);
    }
}

}  // namespace
