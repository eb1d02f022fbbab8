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

inline const std::string kIdentificationRule = "##########################################";

// The identification's block as it stands in the log: `lines` (each ending in
// a newline) between the heading and the closing rule.
inline std::string IdentificationBlock(const std::string& lines) {
    return kIdentificationRule + "\n# Read Device Information:\n" + lines + kIdentificationRule +
           "\n";
}

// The log from the identification's opening rule on, a newline after each line.
inline std::string FromIdentificationBlock(const AppLog& log) {
    const std::vector<std::string> lines = log.Lines();
    std::string text;
    for (auto line = std::find(lines.begin(), lines.end(), kIdentificationRule);
         line != lines.end(); ++line) {
        text += *line + "\n";
    }
    return text;
}
