#include <gtest/gtest.h>

#include <functional>

#include "measure/measure_texts.h"
#include "unit/measure/measurement_fixture.h"

namespace {

using ReadMeasurementTest = MeasurementTest;
constexpr auto kDoseRateAt = FakeMeasureDevice::kDoseRateAt;
constexpr auto kCountRateAt = FakeMeasureDevice::kCountRateAt;
constexpr auto kLevelAt = FakeMeasureDevice::kLevelAt;

TEST_F(ReadMeasurementTest, RateTextFollowsTheUnitsCodeInBothLanguages) {
    struct Case {
        std::uint32_t unitsParameter;
        Language language;
        const char* expected;
        std::uint32_t readFrom;
    };
    const Case cases[] = {
        {0, Language::English, "12,34 uSv/h", kDoseRateAt},
        {0, Language::Russian, "12,34 мкЗв/ч", kDoseRateAt},
        {1, Language::English, "25 uR/h", kDoseRateAt},
        {1, Language::Russian, "25 мкР/ч", kDoseRateAt},
        {2, Language::English, "30 CPM", kCountRateAt},
        {3, Language::English, " CPM", kCountRateAt},
        // Only the low byte of the parameter is the code.
        {0x0101, Language::English, "25 uR/h", kDoseRateAt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        SetUiLanguage(c.language);
        device_.parameters[9] = c.unitsParameter;
        device_.SetWord(kDoseRateAt, (c.unitsParameter & 0xFF) == 1 ? 25 : 1234);
        device_.memReads.clear();
        EXPECT_TRUE(measurement_.ReadMeasurement(false));
        EXPECT_EQ(measurement_.State().fonText, c.expected);
        ASSERT_FALSE(device_.memReads.empty());
        EXPECT_EQ(device_.memReads.front(), c.readFrom);
    }
}

TEST_F(ReadMeasurementTest, LevelGoesToTheBarUnchangedAndTheIndicatorBlinks) {
    device_.memory[kLevelAt + 2] = 200;
    ASSERT_TRUE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(measurement_.State().fonLevel, 200);
    // Starts aqua; every successful read flips between button face and yellow.
    EXPECT_EQ(measurement_.State().fonIndicator, IndicatorColour::ButtonFace);
    ASSERT_TRUE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(measurement_.State().fonIndicator, IndicatorColour::Yellow);
    ASSERT_TRUE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(measurement_.State().fonIndicator, IndicatorColour::ButtonFace);
    EXPECT_EQ(measurement_.State().doseText, "----");
    EXPECT_EQ(CountWrites(Measurement::kCommandRefreshDose), 0);
}

TEST_F(ReadMeasurementTest, AddressesAreReadInOrderOnceAndUnitsEveryTime) {
    device_.failingParameters = {0xC004};
    EXPECT_FALSE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(device_.parameterReads, (std::vector<std::uint16_t>{0xC001, 0xC004}));
    EXPECT_EQ(measurement_.State().fonText, "--------");
    EXPECT_TRUE(device_.memReads.empty());

    device_.failingParameters.clear();
    device_.parameterReads.clear();
    device_.parameters[0xC002] = 0;  // level address not yet known to the device
    ASSERT_TRUE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(device_.parameterReads,
              (std::vector<std::uint16_t>{0xC004, 0xC002, 0xC015, 0xC016, 9}));
    EXPECT_EQ(CountMemReads(2), 1);  // level byte read from 0 + 2

    device_.parameterReads.clear();
    device_.parameters[0xC002] = kLevelAt;
    ASSERT_TRUE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(device_.parameterReads, (std::vector<std::uint16_t>{0xC002, 9}));
    EXPECT_EQ(measurement_.Addresses().level, kLevelAt);

    device_.parameterReads.clear();
    ASSERT_TRUE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(device_.parameterReads, (std::vector<std::uint16_t>{9}));
}

TEST_F(ReadMeasurementTest, EveryFailedStepBlanksTheRateAndZeroesTheBar) {
    const auto failUnits = [this] { device_.failingParameters = {9}; };
    const auto failRate = [this] { device_.failingAddresses = {kDoseRateAt}; };
    const auto failLevel = [this] { device_.failingAddresses = {kLevelAt + 2}; };
    const auto closeGate = [this] { gateOpen_ = false; };
    const std::function<void()> faults[] = {failUnits, failRate, failLevel, closeGate};
    for (const auto& fault : faults) {
        device_.failingParameters.clear();
        device_.failingAddresses.clear();
        gateOpen_ = true;
        ASSERT_TRUE(measurement_.ReadMeasurement(false));
        ASSERT_EQ(measurement_.State().fonLevel, 40);

        fault();
        EXPECT_FALSE(measurement_.ReadMeasurement(true));
        EXPECT_EQ(measurement_.State().fonText, "--------");
        EXPECT_EQ(measurement_.State().fonLevel, 0);
        EXPECT_EQ(CountWrites(Measurement::kCommandRefreshDose), 0);
    }
}

TEST_F(ReadMeasurementTest, RefusedGateShowsItsNoticeAndTouchesNoDevice) {
    gateOpen_ = false;
    EXPECT_FALSE(measurement_.ReadMeasurement(true));
    EXPECT_EQ(measurement_.State().versionNotice, gateNotice_);
    EXPECT_TRUE(device_.parameterReads.empty());
    EXPECT_TRUE(device_.memReads.empty());

    gateOpen_ = true;
    gateNotice_.clear();
    EXPECT_TRUE(measurement_.ReadMeasurement(true));
}

TEST_F(ReadMeasurementTest, DoseIsRefreshedThenReadAsTextAndUnit) {
    device_.SetText(FakeMeasureDevice::kDoseTextAt, "1234567,89");  // all ten bytes used
    ASSERT_TRUE(measurement_.ReadMeasurement(true));
    EXPECT_EQ(measurement_.State().doseText, "1234567,89 uSv");
    EXPECT_EQ(measurement_.State().doseIndicator, IndicatorColour::ButtonFace);
    EXPECT_EQ(CountWrites(Measurement::kCommandRefreshDose), 1);

    // A shorter text later leaves nothing of the longer one behind.
    device_.SetText(FakeMeasureDevice::kDoseTextAt, "0,07");
    ASSERT_TRUE(measurement_.ReadMeasurement(true));
    EXPECT_EQ(measurement_.State().doseText, "0,07 uSv");
    EXPECT_EQ(measurement_.State().doseIndicator, IndicatorColour::Yellow);
}

TEST_F(ReadMeasurementTest, FailedDoseBlanksOnlyTheDose) {
    const auto failWrite = [this] { device_.failWrites = true; };
    const auto failText = [this] { device_.failingAddresses = {FakeMeasureDevice::kDoseTextAt}; };
    const auto failUnit = [this] { device_.failingAddresses = {FakeMeasureDevice::kDoseUnitAt}; };
    const std::function<void()> faults[] = {failWrite, failText, failUnit};
    for (const auto& fault : faults) {
        device_.failWrites = false;
        device_.failingAddresses.clear();
        ASSERT_TRUE(measurement_.ReadMeasurement(true));
        const IndicatorColour before = measurement_.State().doseIndicator;

        fault();
        EXPECT_FALSE(measurement_.ReadMeasurement(true));
        EXPECT_EQ(measurement_.State().doseText, "--------");
        EXPECT_EQ(measurement_.State().doseIndicator, before);
        EXPECT_EQ(measurement_.State().fonText, "12,34 uSv/h");
        EXPECT_EQ(measurement_.State().fonLevel, 40);
    }
}

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
