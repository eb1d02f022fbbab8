#include "firmware/device_restart.h"
#include "firmware_rig.h"

namespace firmware_testing {
namespace {

class DeviceRestartRun : public FirmwareRig {};

TEST_F(DeviceRestartRun, UnderAGuardTheConnectionTestRunsOnlyWhileWaitingForTheDevice) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    OperationGuard guard(host, {});
    bool testedWhileAway = false;
    RestartEnvironment environment = Environment();
    environment.step = [&] {
        testedWhileAway = testedWhileAway || host.linkCheckEnabled;
        Tick();
    };
    const FirmwareContext context = Context();
    EXPECT_TRUE(RestartIntoMainProgram(context, environment)) << log.Text();
    EXPECT_TRUE(testedWhileAway);
    EXPECT_FALSE(host.linkCheckEnabled) << "held off again for the guard";
    EXPECT_EQ(device->PlugCount(), 2);
    EXPECT_TRUE(LogHas("==> Device Reset to TLX4"));
    EXPECT_EQ(log.Lines().back(), "TLX4  : 12.6");
}

// As the window's demo runs on Windows: the line in memory is listed and
// opened as a port, and goes away and comes back with the restart.
TEST_F(DeviceRestartRun, OnALineInMemoryTheDeviceIsFoundAndComesBackAfterARestart) {
    portDir.clear();
    Start(Model(SimModel::K310, 41, 0x0C06));
    EXPECT_EQ(session.Stack().Port().LastOpenPath(), "memory:COM9");
    OperationGuard guard(host, {});
    EXPECT_TRUE(RestartIntoMainProgram(Context(), Environment())) << log.Text();
    EXPECT_EQ(device->PlugCount(), 2);
    EXPECT_TRUE(session.Connected());
    EXPECT_EQ(log.Lines().back(), "TLX4  : 12.6");
}

TEST_F(DeviceRestartRun, AnUnansweredResetFailsWithoutWaiting) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    device->SetFaults({FaultRule{FaultKind::Drop, 1, 0x05, 1, 0, 0}});
    const std::uint32_t before = ticks;
    const FirmwareContext context = Context();
    EXPECT_EQ(DeviceRestart(context, Environment()).IntoBootLoader(), RestartResult::Failed);
    EXPECT_TRUE(LogHas("# ERROR: \"Error when RESET CMD\"")) << log.Text();
    // The link's own three sends, and none of the restart's waits.
    EXPECT_LT(ticks - before,
              DeviceLink::kAnswerTimeoutMs * DeviceLink::kSendsWithRetry + DeviceRestart::kWaitMs);
    EXPECT_TRUE(host.linkCheckEnabled);
}

}  // namespace
}  // namespace firmware_testing
