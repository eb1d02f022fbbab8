#include <gtest/gtest.h>

#include <optional>

#include "protocol/device_models.h"
#include "protocol/identification_step.h"
#include "support/language_guard.h"

namespace {

struct Shown {
    std::string status;
    std::optional<StatusStyle> style;
    std::optional<bool> renewEnabled;
    std::optional<const SupportedModel*> settingsPage;
    int fills = 0;
    int clears = 0;
};

class IdentificationStepTest : public ::testing::Test {
  protected:
    IdentificationStepTest() {
        device.identify = [this](DeviceInfo& record) {
            ++identifications;
            record = identified;
            return recognize;
        };
        device.forgetDeviceData = [this] { ++forgets; };
        view.showStatus = [this](const std::string& text, StatusStyle style) {
            shown.status = text;
            shown.style = style;
        };
        view.setRenewButtonEnabled = [this](bool enabled) { shown.renewEnabled = enabled; };
        view.showSettingsPage = [this](const SupportedModel* model) { shown.settingsPage = model; };
        view.fillInfoPage = [this](const DeviceInfo& record) {
            ++shown.fills;
            EXPECT_EQ(&record, &info);
        };
        view.clearInfoPage = [this] { ++shown.clears; };
    }

    IdentificationStep& Step() {
        if (!step) {
            step.emplace(
                device, info, [this] { return now; }, view);
        }
        return *step;
    }

    // Ticks every 100 ms until `until` (inclusive).
    void TickUntil(std::uint32_t until, bool connected, bool linkCheck = true) {
        while (static_cast<std::int32_t>(until - now) >= 0) {
            Step().Tick(connected, linkCheck);
            now += 100;
        }
    }

    void IdentifyAsK310() {
        TickUntil(now + 1000, true);
        ASSERT_EQ(identifications, 1);
    }

    std::uint32_t now = 5000;
    DeviceInfo info;
    DeviceInfo identified = K310();
    bool recognize = true;
    int identifications = 0;
    int forgets = 0;
    IdentificationDevice device;
    IdentificationView view;
    Shown shown;
    std::optional<IdentificationStep> step;

    static DeviceInfo K310() {
        DeviceInfo k310;
        k310.valid = true;
        k310.board = {310, 41, 0};
        k310.modelName = "Halvane RDK-310.41.0";
        k310.inf1[9] = 0x21;
        k310.inf1[10] = 0x43;
        k310.inf1[11] = 0x65;
        k310.inf1[12] = 0x87;
        return k310;
    }
};

TEST_F(IdentificationStepTest, WaitsASecondAfterTheConnectionIsFirstSeen) {
    TickUntil(5500, false);
    // Last seen unconnected at 5500: 6400 is too early, 6500 is a full second.
    TickUntil(6400, true);
    EXPECT_EQ(identifications, 0);
    EXPECT_EQ(Step().Phase(), IdentPhase::Waiting);
    TickUntil(6500, true);
    EXPECT_EQ(identifications, 1);
    EXPECT_EQ(Step().Phase(), IdentPhase::Done);
    TickUntil(20000, true);
    EXPECT_EQ(identifications, 1);
}

TEST_F(IdentificationStepTest, DeviceAnsweringAtTheFirstTickStillGetsItsSecond) {
    Step();
    now += 700;  // the first tick comes well after start-up
    TickUntil(now + 900, true);
    EXPECT_EQ(identifications, 0);
    TickUntil(now, true);
    EXPECT_EQ(identifications, 1);
}

TEST_F(IdentificationStepTest, WaitSurvivesTheTickCounterWrapping) {
    now = 0xFFFFFF00u;
    Step().Tick(false, true);
    now += 999;  // wrapped round to 0x2E7
    Step().Tick(true, true);
    EXPECT_EQ(identifications, 0);
    now += 1;
    Step().Tick(true, true);
    EXPECT_EQ(identifications, 1);
}

TEST_F(IdentificationStepTest, RecognisedK310ShowsModelAndSerial) {
    IdentifyAsK310();
    EXPECT_EQ(shown.status, "Halvane RDK-310.41.0 S/N: 123-45678");
    EXPECT_EQ(shown.style, StatusStyle::Success);
    EXPECT_EQ(shown.renewEnabled, true);
    EXPECT_EQ(shown.settingsPage, FindSupportedModel(310));
    EXPECT_EQ(shown.fills, 1);
    EXPECT_TRUE(Step().DeviceRecognized());
    EXPECT_EQ(info.modelName, "Halvane RDK-310.41.0");
}

TEST_F(IdentificationStepTest, RecognisedK520ShowsItsSettingsPage) {
    identified.board = {520, 2, 1};
    identified.modelName = "DRAVO 07X ECO RDK-520.2.1";
    TickUntil(now + 1000, true);
    EXPECT_EQ(shown.status, "DRAVO 07X ECO RDK-520.2.1 S/N: 123-45678");
    EXPECT_EQ(shown.settingsPage, FindSupportedModel(520));
}

TEST_F(IdentificationStepTest, UnknownDeviceIsShownInRedAndNotRecognised) {
    identified.valid = false;
    identified.modelName = "RDK-520.2.0";
    recognize = false;
    {
        LanguageGuard english(Language::English);
        TickUntil(now + 1000, true);
    }
    EXPECT_EQ(shown.status, "Unknown Device [RDK-520.2.0]");
    EXPECT_EQ(shown.style, StatusStyle::Error);
    EXPECT_EQ(shown.renewEnabled, false);
    EXPECT_FALSE(shown.settingsPage.has_value());
    EXPECT_EQ(shown.fills, 1);
    EXPECT_FALSE(Step().DeviceRecognized());
    // Once per connection, whatever the outcome.
    TickUntil(now + 3000, true);
    EXPECT_EQ(identifications, 1);
    EXPECT_EQ(Step().Phase(), IdentPhase::Done);
}

TEST_F(IdentificationStepTest, UnknownDeviceInRussian) {
    recognize = false;
    identified.modelName = "";
    LanguageGuard russian(Language::Russian);
    TickUntil(now + 1000, true);
    EXPECT_EQ(shown.status, "Неизвестный прибор []");
}

TEST_F(IdentificationStepTest, LostDeviceResetsEverything) {
    IdentifyAsK310();
    LanguageGuard english(Language::English);
    TickUntil(now, false);
    EXPECT_EQ(shown.status, "Waiting Connection");
    EXPECT_EQ(shown.style, StatusStyle::Neutral);
    EXPECT_EQ(Step().Phase(), IdentPhase::Waiting);
    EXPECT_EQ(forgets, 1);
    EXPECT_FALSE(info.valid);
    EXPECT_TRUE(info.modelName.empty());
    EXPECT_EQ(shown.clears, 1);
    EXPECT_EQ(shown.renewEnabled, false);
    EXPECT_FALSE(Step().DeviceRecognized());
    EXPECT_EQ(shown.settingsPage, nullptr);

    TickUntil(now + 2000, false);
    EXPECT_EQ(forgets, 1);
    // The next connection is identified afresh, after its own second.
    TickUntil(now + 800, true);
    EXPECT_EQ(identifications, 1);
    TickUntil(now, true);
    EXPECT_EQ(identifications, 2);
}

TEST_F(IdentificationStepTest, LossDuringALongOperationWaitsForItsEnd) {
    IdentifyAsK310();
    const std::string status = shown.status;
    TickUntil(now + 3000, false, false);
    EXPECT_EQ(shown.status, status);
    EXPECT_EQ(Step().Phase(), IdentPhase::Done);
    EXPECT_TRUE(Step().DeviceRecognized());
    EXPECT_EQ(forgets, 0);
    TickUntil(now, false, true);
    EXPECT_EQ(Step().Phase(), IdentPhase::Waiting);
    EXPECT_EQ(forgets, 1);
}

TEST(IdentificationStepWithoutView, RunsAConnectionThroughWithNothingBound) {
    std::uint32_t now = 0;
    DeviceInfo info;
    int forgets = 0;
    IdentificationStep step({[](DeviceInfo& record) {
                                 record.modelName = "RDK-405.0.0";
                                 return false;
                             },
                             [&forgets] { ++forgets; }},
                            info, [&now] { return now; }, {});
    step.Tick(true, true);
    now = 1000;
    step.Tick(true, true);
    EXPECT_EQ(step.Phase(), IdentPhase::Done);
    step.Tick(false, true);
    EXPECT_EQ(step.Phase(), IdentPhase::Waiting);
    EXPECT_EQ(forgets, 1);
    EXPECT_TRUE(info.modelName.empty());
}

}  // namespace
