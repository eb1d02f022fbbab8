#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "base/app_log.h"

// How often `line` stands in the log (which hands out a copy of its lines).
inline long CountLines(const AppLog& log, const std::string& line) {
    const std::vector<std::string> lines = log.Lines();
    return static_cast<long>(std::count(lines.begin(), lines.end(), line));
}
