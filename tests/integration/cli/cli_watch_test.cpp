#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "history/sqlite_database.h"
#include "integration/cli/cli_runner.h"

namespace {

// "2026-12-10T12:00:31.250+03:00": digits where the shape has 9, the offset's
// sign where it has +.
bool IsIsoTimeWithOffset(const std::string& text) {
    const std::string shape = "9999-99-99T99:99:99.999+99:99";
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const char c = text[i];
        const bool fits = shape[i] == '9'   ? std::isdigit(static_cast<unsigned char>(c)) != 0
                          : shape[i] == '+' ? (c == '+' || c == '-')
                                            : c == shape[i];
        if (!fits) {
            return false;
        }
    }
    return true;
}

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

// Seconds into the day of an ISO time; a watch's lines are a day apart at most.
double DaySeconds(const std::string& iso) {
    int hour = 0;
    int minute = 0;
    double second = 0;
    std::sscanf(iso.c_str() + 11, "%d:%d:%lf", &hour, &minute, &second);
    return hour * 3600 + minute * 60 + second;
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
    for (const nlohmann::json& reading : lines) {
        const std::string line = reading.dump();
        EXPECT_EQ(reading["usv_h"], rate) << line;
        EXPECT_EQ(reading["rate"], rate) << line;
        EXPECT_EQ(reading["unit"], "uSv/h") << line;
        EXPECT_TRUE(reading["cpm"].is_null()) << line;
        EXPECT_TRUE(reading["level"].is_number()) << line;
        EXPECT_TRUE(IsIsoTimeWithOffset(reading["time"].get<std::string>())) << line;
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

// Killed while it records: the archive opens whole, its history records are
// untouched, and no more than the last ten seconds of readings are missing.
TEST_F(CliWatch, AKillWhileRecordingLosesAtMostTheLastTenSeconds) {
    SimOptions options;
    options.history = {.shape = HistoryShape::Partial, .records = 30, .recordWhileRunning = false};
    PlugIn(options);
    ASSERT_EQ(RunCli(dir_.Path(), {"--port", "COM9", "history", "read"}).status, 0);
    const auto records = [&] {
        return RunCli(dir_.Path(), {"archive", "csv", "--serial", "123-45678"}).out;
    };
    const std::string recordsBefore = records();
    ASSERT_NE(recordsBefore, "");

    CliProcess watch(dir_.Path(), {"--port", "COM9", "measure", "--watch", "--json"});
    ASSERT_TRUE(WaitForLines(watch, 12, seconds(30))) << watch.Err();
    watch.Signal(SIGKILL);
    watch.Wait();
    std::string out = watch.Out();
    out.erase(out.rfind('\n') + 1);  // a line cut off by the kill
    std::vector<std::string> printed = Lines(out);

    SqliteDatabase db;
    ASSERT_TRUE(db.Open(dir_.Path() + "/home/.local/share/DRAVO/history.sqlite3", false, 1000));
    SqliteStatement check(db.Handle(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "ok");
    EXPECT_EQ(records(), recordsBefore);
    const CliOutcome live =
        RunCli(dir_.Path(), {"archive", "live", "--serial", "123-45678", "--json"});
    ASSERT_EQ(live.status, 0) << live.err;
    const nlohmann::json kept = nlohmann::json::parse(live.out).at("readings");
    ASSERT_LE(kept.size(), printed.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i], nlohmann::json::parse(printed[i]));
    }
    if (kept.size() < printed.size()) {
        const double missing = DaySeconds(nlohmann::json::parse(printed.back()).at("time")) -
                               DaySeconds(nlohmann::json::parse(printed[kept.size()]).at("time"));
        EXPECT_LE(std::fmod(missing + 86400, 86400), 10.0)
            << kept.size() << " of " << printed.size();
    }
}

}  // namespace
