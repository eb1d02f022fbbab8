#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "support/build_paths.h"
#include "support/run_program.h"

namespace {

const std::string kExplorer = build_paths::BinDir() + "/dravo-explorer";
const std::string kSim = build_paths::BinDir() + "/dravo-sim";

// A terminal without any display, as over ssh.
const std::map<std::string, std::string> kNoDisplay{
    {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};

TEST(ExplorerCommandLine, HelpAndVersionAnswerWithoutADisplay) {
    const ProgramRun help = RunProgram({kExplorer, "--help"}, kNoDisplay);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out.rfind("Usage: ", 0), 0u) << help.out;
    for (const char* option : {"--demo", "--help", "--version"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option << "\n" << help.out;
    }

    const ProgramRun version = RunProgram({kExplorer, "--version"}, kNoDisplay);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "dravo-explorer 1.1\n");
}

TEST(ExplorerCommandLine, WithoutADisplaySaysHowToRunInOneLineAndFails) {
    // The toolkit's own -reverse holds a "v" but asks for no version.
    for (const auto& arguments :
         {std::vector<std::string>{kExplorer}, std::vector<std::string>{kExplorer, "--demo"},
          std::vector<std::string>{kExplorer, "-reverse"}}) {
        const ProgramRun run = RunProgram(arguments, kNoDisplay);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("xvfb-run -a"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

TEST(SimCommandLine, HelpAndVersion) {
    const ProgramRun help = RunProgram({kSim, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: dravo-sim ", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;

    const ProgramRun version = RunProgram({kSim, "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "dravo-sim 1.1\n");
}

}  // namespace
