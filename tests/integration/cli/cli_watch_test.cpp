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
    const CliOutcome watch =
        RunCli(dir_.Path(), {"--port", "COM9", "measure", "--watch", "--json", "--for", "3"});
    ASSERT_EQ(watch.status, 0) << watch.err;
    // JSON lines and nothing after them.
    nlohmann::json lines = nlohmann::json::array();
    for (const std::string& line : Lines(watch.out)) {
        lines.push_back(nlohmann::json::parse(line));
    }
    ASSERT_GE(lines.size(), 2u) << watch.out;
    const std::regex isoWithOffset(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)");
    for (const nlohmann::json& reading : lines) {
        const std::string line = reading.dump();
        EXPECT_EQ(reading["usv_h"], rate) << line;
        EXPECT_EQ(reading["rate"], rate) << line;
        EXPECT_EQ(reading["unit"], "uSv/h") << line;
        EXPECT_TRUE(reading["cpm"].is_null()) << line;
        EXPECT_TRUE(reading["level"].is_number()) << line;
        EXPECT_TRUE(std::regex_match(reading["time"].get<std::string>(), isoWithOffset)) << line;
    }

    const CliOutcome listed = RunCli(dir_.Path(), {"archive", "list", "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const std::string serial = nlohmann::json::parse(listed.out).at("devices").at(0).at("serial");
    const auto kept = [&] {
        const CliOutcome live =
            RunCli(dir_.Path(), {"archive", "live", "--serial", serial, "--json"});
        EXPECT_EQ(live.status, 0) << live.err;
        return nlohmann::json::parse(live.out).at("readings");
    };
    EXPECT_EQ(kept(), lines);

    // Unplugged and back on the same port: a notice, then readings again; a
    // stop signal ends it, and the one alarm crossing decides the status.
    CliProcess running(dir_.Path(), {"--port", "COM9", "measure", "--watch", "--no-archive",
                                     "--alarm-above", "0"});
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
    EXPECT_EQ(kept(), lines) << "--no-archive kept readings";

    // Nothing is removed unasked.
    const std::vector<std::string> prune{"archive", "prune",    "--live",    "--serial",
                                         serial,    "--before", "2099-12-31"};
    const CliOutcome declined = RunCli(dir_.Path(), prune);
    EXPECT_EQ(declined.status, 1);
    EXPECT_NE(declined.err.find("Cancelled"), std::string::npos) << declined.err;
    EXPECT_EQ(kept(), lines);
    std::vector<std::string> answered = prune;
    answered.insert(answered.begin(), "--yes");
    const CliOutcome pruned = RunCli(dir_.Path(), answered);
    ASSERT_EQ(pruned.status, 0) << pruned.err;
    EXPECT_TRUE(kept().empty());
}

}  // namespace
