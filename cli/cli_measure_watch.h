#pragma once

#include <optional>

#include "cli/cli_commands.h"

// The exit status of a watch during which the dose rate crossed --alarm-above.
inline constexpr int kExitAlarm = 4;

struct WatchArguments {
    bool watch = false;
    double interval = 1.0;    // seconds between readings
    double forSeconds = 0.0;  // 0: until a stop signal
    bool noArchive = false;
    std::optional<double> alarmAbove;  // µSv/h
};

// --watch [SECONDS] and its companions on `measure`; --watch SECONDS is the
// same as --watch --for SECONDS.
void AddWatchOptions(CLI::App& measure, WatchArguments& arguments);

// One line per reading on standard output until --for has passed or a stop
// signal came; recorded into the archive unless --no-archive; an unplugged
// device is waited for.
int RunMeasureWatch(CliContext& context, const WatchArguments& arguments);
