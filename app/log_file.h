#pragma once

#include <string>

#include "base/app_log.h"

// Where the log goes when no name is given: log.txt in the staging folder.
std::string DefaultLogFileName(const std::string& tempFolder);

// Writes every line followed by a line feed (no carriage returns), replacing an
// existing file. False when the file cannot be written.
bool SaveLogFile(const AppLog& log, const std::string& fileName, const std::string& tempFolder);
