#include "base/options_path.h"

#include <cstdlib>

std::string OptionsFilePath() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && *configured != '\0') {
        return std::string(configured) + "/DRAVO/TLX4.conf";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/DRAVO/TLX4.conf";
}
