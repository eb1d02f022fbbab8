#include <gtest/gtest.h>

#include <csignal>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "integration/cli/cli_runner.h"

namespace {

using std::chrono::seconds;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Waits, within `limit`, until the program has written more than `count` lines.
bool WaitForLines(const CliProcess& program, std::size_t count, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (Lines(program.Out()).size() <= count) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class CliWatch : public CliAgainstSimulator {};

TEST_F(CliWatch, PrintsEachReadingAsTheDeviceGivesItKeepsItAndWaitsThroughAnUnplug) {
    PlugIn(SimOptions{});
    const double rate =
        device_->WithModel([](DeviceModel& model) { return model.Live().RateWord(0) / 100.0; });
    const CliOutcome watch = RunCli(dir_.Path(), {"--port", "COM9", "measure", "--watch", "--json",
                                                  "--for", "2", "--interval", "0.25"});
    ASSERT_EQ(watch.status, 0) << watch.err;
    const std::vector<std::string> lines = Lines(watch.out);
    ASSERT_GE(lines.size(), 6u) << watch.out;
    const std::regex isoWithOffset(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)");
    for (const std::string& line : lines) {
        const nlohmann::json reading = nlohmann::json::parse(line);
        EXPECT_EQ(reading["usv_h"], rate) << line;
        EXPECT_EQ(reading["rate"], rate) << line;
        EXPECT_EQ(reading["unit"], "uSv/h") << line;
        EXPECT_TRUE(reading["cpm"].is_null()) << line;
        EXPECT_TRUE(reading["level"].is_number()) << line;
        EXPECT_TRUE(std::regex_match(reading["time"].get<std::string>(), isoWithOffset)) << line;
    }

    const CliOutcome listed = RunCli(dir_.Path(), {"archive", "list", "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const std::string serial = nlohmann::json::parse(listed.out).at(0).at("serial");
    const CliOutcome kept = RunCli(dir_.Path(), {"archive", "live", "--serial", serial, "--json"});
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(kept.out, watch.out);

    // Unplugged and back on the same port: a notice, then readings again; a
    // stop signal ends it, and the one alarm crossing decides the status.
    CliProcess running(dir_.Path(), {"--port", "COM9", "measure", "--watch", "--interval", "0.2",
                                     "--no-archive", "--alarm-above", "0"});
    ASSERT_TRUE(running.WaitForError("at or above", seconds(10))) << running.Err();
    device_->Unplug();
    ASSERT_TRUE(running.WaitForError("waiting for it", seconds(10))) << running.Err();
    const std::size_t before = Lines(running.Out()).size();
    ASSERT_TRUE(device_->PlugIn(dir_.Path(), 9)) << device_->LastError();
    ASSERT_TRUE(running.WaitForError("is back", seconds(10))) << running.Err();
    EXPECT_TRUE(WaitForLines(running, before, seconds(10))) << running.Out();
    running.Signal(SIGTERM);
    EXPECT_EQ(running.Wait(), 4) << running.Err();
    EXPECT_EQ(Count(running.Err(), "at or above"), 1u) << running.Err();
    EXPECT_EQ(RunCli(dir_.Path(), {"archive", "live", "--serial", serial, "--json"}).out, watch.out)
        << "--no-archive kept readings";

    const CliOutcome pruned = RunCli(dir_.Path(), {"--yes", "archive", "prune", "--live",
                                                   "--serial", serial, "--before", "2100-01-01"});
    ASSERT_EQ(pruned.status, 0) << pruned.err;
    EXPECT_EQ(RunCli(dir_.Path(), {"archive", "live", "--serial", serial, "--json"}).out, "");
}

}  // namespace
