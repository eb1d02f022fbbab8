#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <tuple>

#include "sim/simulated_device.h"
#include "ui/app/shell_fixture.h"

namespace {

constexpr int kCom = 11;
constexpr int kWaitMs = 10000;

enum class WaitingIn { MeasurementRead, Identification };

// The real program, with a simulated dosimeter plugged into its port folder.
class RealProgram : public ShellFixture {
  protected:
    void SetUp() override {
        ShellFixture::SetUp();
        portDir_ = UseEnglishWindowOnPrivatePorts();
    }

    // A device present at the program's first port scan is not tried: when it
    // was, plug it in again under a port number the program has not seen.
    // Returns the port number it was tried on.
    int PlugInUntilTried(QProcess& program, SimulatedDevice& device) {
        for (int com = kCom; com < kCom + 3; ++com) {
            EXPECT_TRUE(device.PlugIn(portDir_, com)) << device.LastError();
            if (QTest::qWaitFor([&] { return device.CountRequests(0x01, 0x00) > 0; }, 3000)) {
                return com;
            }
            device.Unplug();
        }
        Signal(program, SIGTERM);
        program.waitForFinished(kWaitMs);
        ADD_FAILURE() << "the program never tried the simulated device:\n"
                      << SavedLog().toStdString();
        return 0;
    }

    static bool WaitForRequest(SimulatedDevice& device, int group, int code) {
        return QTest::qWaitFor([&] { return device.CountRequests(group, code) > 0; }, kWaitMs);
    }

    static void Signal(QProcess& program, int number) {
        ::kill(static_cast<pid_t>(program.processId()), number);
    }

    std::string portDir_;
};

class StopWhileWaiting : public RealProgram,
                         public ::testing::WithParamInterface<std::tuple<int, WaitingIn>> {};

// A stop signal while a request waits on a device that fell silent: the
// wait ends at once, without sending again, and the program exits 0 with its
// log saved.
TEST_P(StopWhileWaiting, TheProgramExitsAtOnceWithItsLog) {
    const auto [signalNumber, waitingIn] = GetParam();
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(StartProgramUntilLocked(program, LockPath()));
    SimulatedDevice device(SimOptions{});
    const int code = waitingIn == WaitingIn::Identification ? 0x01 : 0x02;
    if (waitingIn == WaitingIn::Identification) {
        device.SetFaults({FaultRule{FaultKind::Silent, 0x01, code, 1, 0, 0, 0, 0}});
    }
    const int com = PlugInUntilTried(program, device);
    ASSERT_NE(com, 0);
    if (waitingIn == WaitingIn::MeasurementRead) {
        ASSERT_TRUE(WaitForRequest(device, 0x01, code)) << "no automatic read";
        device.SetFaults({FaultRule{FaultKind::Silent, 0x01, code, 1, 0, 0, 0, 0}});
        device.ClearTranscript();
    }
    ASSERT_TRUE(WaitForRequest(device, 0x01, code));

    QElapsedTimer sinceSignal;
    sinceSignal.start();
    Signal(program, signalNumber);
    ASSERT_TRUE(program.waitForFinished(kWaitMs));
    EXPECT_LT(sinceSignal.elapsed(), 1000);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(device.CountRequests(0x01, code), 1u) << "the waiting request was sent again";
    const QByteArray log = SavedLog();
    EXPECT_TRUE(log.contains("# END: ")) << log.toStdString();
    EXPECT_TRUE(log.contains("Open COM " + QByteArray::number(com) + " : OK\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Signals, StopWhileWaiting,
    ::testing::Combine(::testing::Values(SIGTERM, SIGINT),
                       ::testing::Values(WaitingIn::MeasurementRead, WaitingIn::Identification)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == SIGTERM ? "Term" : "Int") +
               (std::get<1>(info.param) == WaitingIn::Identification ? "DuringIdentification"
                                                                     : "DuringMeasurementRead");
    });

// Set once the process has its stop-signal handler in place.
bool CatchesTermSignal(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            const qulonglong mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
            return (mask & (1ULL << (SIGTERM - 1))) != 0;
        }
    }
    return false;
}

using StartupBox = RealProgram;

// A second instance stops on its "already running" box; a stop signal ends it
// as the box's OK does, and the running instance is left alone.
TEST_F(StartupBox, AStopSignalEndsTheSecondInstancesBox) {
    QProcess first;
    ASSERT_NO_FATAL_FAILURE(StartProgramUntilLocked(first, LockPath()));
    QProcess second;
    ASSERT_NO_FATAL_FAILURE(StartProgram(second));
    ASSERT_TRUE(QTest::qWaitFor([&] { return CatchesTermSignal(second.processId()); }, kWaitMs));
    ASSERT_EQ(second.state(), QProcess::Running) << "the box does not wait";
    Signal(second, SIGTERM);
    ASSERT_TRUE(second.waitForFinished(kWaitMs)) << "the box kept the process";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(first.state(), QProcess::Running);

    Signal(first, SIGTERM);
    ASSERT_TRUE(first.waitForFinished(kWaitMs));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(SavedLog().contains("# END: "));
}

}  // namespace
