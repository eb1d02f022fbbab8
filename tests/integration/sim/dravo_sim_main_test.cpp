#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "raw_client.h"
#include "support/build_paths.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

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
    ASSERT_TRUE(WaitFor([&] { return fs::is_symlink(link); }, 5s));
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
