#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "raw_client.h"
#include "support/build_paths.h"
#include "support/temp_dir.h"

extern char** environ;

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

TEST(DravoSimExecutable, AppearsAnswersTheConnectionTestAndLeavesOnSigterm) {
    const std::string program = (fs::path(build_paths::BinDir()) / "dravo-sim").string();
    ASSERT_TRUE(fs::exists(program)) << program;
    TempDir dir;
    const std::string portDir = dir.Path() + "/ports";
    std::vector<std::string> arguments{program, "--model", "k520", "--port-dir",
                                       portDir, "--com",   "9"};
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);

    const std::string link = portDir + "/COM9";
    ASSERT_TRUE(WaitFor([&] { return fs::is_symlink(link); }, 5s));
    {
        RawClient client(link);
        const std::vector<std::uint8_t> echo{'F', 'e', 'r', 'a', 'n', 'd', 'o', 'l'};
        EXPECT_EQ(client.Ask(1, 0x00, echo), echo);
    }
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

}  // namespace
