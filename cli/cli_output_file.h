#pragma once

#include <string>

#include "cli/cli_report.h"

// Whether a file can be written where `file` names it: its folder exists. Told
// to `report` when not, so that nothing is read from the device in vain.
bool OutputFolderExists(const std::string& file, CliReport& report);
