#pragma once

#include <optional>

#include "cli/cli_commands.h"

struct WatchArguments {
    bool watch = false;
    int interval = 1;    // seconds between readings
    int forSeconds = 0;  // 0: until a stop signal
    bool noArchive = false;
    std::optional<double> alarmAbove;  // µSv/h
};

// --watch [SECONDS] and its companions on `measure`; --watch SECONDS is the
// same as --watch --for SECONDS.
void AddWatchOptions(CLI::App& measure, WatchArguments& arguments);

// One line per reading on standard output until --for has passed or a stop
// signal came; recorded into the archive unless --no-archive; an unplugged
// device is waited for. Ends with kExitAlarm after a crossing of --alarm-above.
int RunMeasureWatch(CliContext& context, const WatchArguments& arguments);
