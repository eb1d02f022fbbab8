#include "sim/sim_options.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>

#include "raw_client.h"
#include "sim/fault_injector.h"
#include "support/build_paths.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

std::optional<SimOptions> Parse(const std::vector<std::string>& arguments,
                                std::string* errorOut = nullptr) {
    std::string portDir;
    int com = 0;
    std::string error;
    auto options = ParseSimArguments(arguments, portDir, com, error);
    if (errorOut) {
        *errorOut = error;
    }
    return options;
}

TEST(SimOptions, CommandLineSetsIdentityHistoryAndFaults) {
    std::string portDir;
    int com = 0;
    std::string error;
    const auto options = ParseSimArguments({"--model",        "k520",
                                            "--port-dir",     "/tmp/p",
                                            "--com",          "9",
                                            "--serial",       "00012345",
                                            "--uid",          "01:02:03:04:05:06:07:08:09:0a:0b:0c",
                                            "--main-version", "0",
                                            "--revision",     "3",
                                            "--history",      "wrapped",
                                            "--seed",         "7",
                                            "--fault",        "drop:every=3:group=1:code=14",
                                            "--fault",        "unplug:after=5:replug=2000",
                                            "--wire-time",    "on",
                                            "--no-recording"},
                                           portDir, com, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(portDir, "/tmp/p");
    EXPECT_EQ(com, 9);
    EXPECT_EQ(options->model, SimModel::K520);
    EXPECT_EQ(options->serialNumber, 12345u);
    EXPECT_EQ(options->uniqueId.at(11), 0x0C);
    EXPECT_TRUE(options->startInBootMode);
    EXPECT_EQ(options->mainVersion, 0x0C03) << "the version it has once out of boot mode";
    EXPECT_EQ(options->hardwareRevision, 3);
    EXPECT_EQ(options->variant, 1);
    EXPECT_EQ(options->cpuType, 6);
    EXPECT_EQ(options->history.shape, HistoryShape::Wrapped);
    EXPECT_FALSE(options->history.recordWhileRunning);
    ASSERT_EQ(options->faults.size(), 2u);
    EXPECT_EQ(options->faults[0].code, 14);
    EXPECT_EQ(options->faults[1].kind, FaultKind::Unplug);
    EXPECT_EQ(options->faults[1].replugMs, 2000u);
    EXPECT_TRUE(options->wireTime);
}

TEST(SimOptions, RejectsWhatItCannotUse) {
    std::string error;
    EXPECT_FALSE(Parse({"--model", "k999", "--port-dir", "/tmp", "--com", "1"}, &error));
    EXPECT_NE(error.find("--model"), std::string::npos);
    EXPECT_FALSE(Parse({"--model", "k310", "--com", "1"}));
    EXPECT_FALSE(Parse({"--port-dir", "/tmp", "--com", "0"}));
    EXPECT_FALSE(Parse({"--port-dir", "/tmp", "--com", "1", "--serial", "123456789"}));
    EXPECT_FALSE(Parse({"--port-dir", "/tmp", "--com", "1", "--uid", "0102"}));
    EXPECT_FALSE(Parse({"--port-dir", "/tmp", "--com", "1", "--fault", "explode"}));
    EXPECT_FALSE(Parse({"--port-dir", "/tmp", "--com", "1", "--fault", "drop:every=0"}));
    EXPECT_FALSE(Parse({"--port-dir", "/tmp", "--com", "1", "--period", "0"}));
    EXPECT_FALSE(Parse({"--port-dir", "/tmp", "--com"}));
    EXPECT_TRUE(Parse({"--port-dir", "/tmp", "--com", "1", "--boot-version", "0x0106"}));
}

TEST(SimOptions, ProfileIsPickedByNameListedAndContraryDiffersEverywhere) {
    std::string error;
    EXPECT_EQ(Parse({"--port-dir", "/tmp", "--com", "1"})->profile.name, "classic");
    EXPECT_FALSE(Parse({"--port-dir", "/tmp", "--com", "1", "--profile", "plain"}, &error));
    EXPECT_NE(error.find("\"plain\""), std::string::npos) << error;
    const auto options = Parse({"--port-dir", "/tmp", "--com", "1", "--profile", "contrary"});
    ASSERT_TRUE(options);
    const DeviceProfile& classic = DeviceProfiles().front();
    const DeviceProfile& contrary = options->profile;
    EXPECT_EQ(contrary.name, "contrary");
    EXPECT_NE(contrary.records, classic.records);
    EXPECT_NE(contrary.slotZero, classic.slotZero);
    EXPECT_NE(contrary.parameterAnswerBytes, classic.parameterAnswerBytes);
    EXPECT_NE(contrary.timeAnswerBytes, classic.timeAnswerBytes);
    EXPECT_NE(contrary.echoWithExtraByte, classic.echoWithExtraByte);
    EXPECT_NE(contrary.restart, classic.restart);
    // Below the program's longer reads (dose texts of 10 bytes, memory pieces of
    // 16, record pairs of 32), so that each of them is answered short.
    EXPECT_LT(contrary.largestBlock, 10u);

    EXPECT_TRUE(ProfileListAsked({"--profile", "list"}));
    EXPECT_TRUE(ProfileListAsked({"--model", "k520", "--profile", "list"}));
    EXPECT_FALSE(ProfileListAsked({"--profile", "classic"}));
    EXPECT_FALSE(ProfileListAsked({"list", "--profile"}));
    const std::string list = ProfileList();
    for (const DeviceProfile& profile : DeviceProfiles()) {
        EXPECT_NE(list.find(profile.name + "\n  " + profile.summary + "\n"), std::string::npos)
            << list;
    }
    EXPECT_NE(SimUsage().find("--profile list"), std::string::npos);
}

TEST(FaultInjector, CountsMatchingRequestsPerRule) {
    std::string error;
    FaultInjector faults({*ParseFaultRule("drop:group=2:after=2:every=2:limit=2", error),
                          *ParseFaultRule("delay:code=1:ms=50", error)});
    std::vector<bool> dropped;
    for (int i = 0; i < 10; ++i) {
        EXPECT_FALSE(faults.Decide(1, 0).drop);
        dropped.push_back(faults.Decide(2, 2).drop);
    }
    EXPECT_EQ(dropped, (std::vector<bool>{false, false, false, true, false, true, false, false,
                                          false, false}));
    EXPECT_EQ(faults.Decide(1, 1).delayMs, 50u);
    EXPECT_EQ(faults.Decide(2, 1).delayMs, 50u);
    EXPECT_EQ(faults.Decide(2, 3).delayMs, 0u);
}

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string Program() {
    return (fs::path(build_paths::BinDir()) / "dravo-sim").string();
}

TEST(DravoSimExecutable, ListsItsProfiles) {
    const ProgramRun run = RunProgram({Program(), "--profile", "list"});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* name : {"classic\n", "contrary\n", "apart\n"}) {
        EXPECT_NE(run.out.find(name), std::string::npos) << run.out;
    }
    const ProgramRun unknown =
        RunProgram({Program(), "--port-dir", "/tmp", "--com", "9", "--profile", "plain"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("\"plain\""), std::string::npos) << unknown.err;
}

// With the contrary profile, so the echo carries the extra byte it chose.
TEST(DravoSimExecutable, AppearsAnswersTheConnectionTestAndLeavesOnSigterm) {
    const std::string program = Program();
    ASSERT_TRUE(fs::exists(program)) << program;
    TempDir dir;
    const std::string portDir = dir.Path() + "/ports";
    RunningProgram sim(
        {program, "--model", "k520", "--port-dir", portDir, "--com", "9", "--profile", "contrary"},
        ChangedEnvironment({}));
    ASSERT_TRUE(sim.Started());

    const std::string link = portDir + "/COM9";
    // It says where it is once it is plugged in.
    ASSERT_TRUE(sim.WaitForOutput("dravo-sim: K520 (contrary) on " + link, 5s)) << sim.Err();
    ASSERT_TRUE(fs::is_symlink(link));
    {
        RawClient client(link);
        const std::vector<std::uint8_t> echo{'F', 'e', 'r', 'a', 'n', 'd', 'o', 'l'};
        std::vector<std::uint8_t> answer = echo;
        answer.push_back(0xFF);
        EXPECT_EQ(client.Ask(1, 0x00, echo), answer);
    }
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0) << "a normal exit on the signal";
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

}  // namespace
