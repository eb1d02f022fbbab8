#pragma once

#include "base/app_log.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"

// What a command runs with: the parsed options, the log, the host of its
// waits and the message boxes on standard error.
struct CliContext {
    explicit CliContext(const CliOptions& parsed)
        : options(parsed), dialogs(parsed.yes, parsed.quiet) {}

    CliOptions options;
    AppLog log;
    CliHost host;
    CliDialogs dialogs;
};

// Each returns the process exit status.
int RunPorts(CliContext& context);
int RunInfo(CliContext& context);
int RunMeasure(CliContext& context, int watchSeconds);
// The information page's lines, the update offer included.
int RunDeviceLines(CliContext& context);
int RunRestart(CliContext& context, bool bootLoader);
// The five-step firmware update; questions are answered by --yes.
int RunUpdate(CliContext& context);
