#include "base/options_path.h"

#include <cstdlib>

namespace {

// `relative` under the folder the XDG variable `variable` names, or under
// `$HOME/homeFallback` when it is not set.
std::string XdgFilePath(const char* variable, const char* homeFallback,
                        const std::string& relative) {
    const char* configured = std::getenv(variable);
    if (configured != nullptr && *configured != '\0') {
        return std::string(configured) + "/" + relative;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/" + homeFallback + "/" + relative;
}

}  // namespace

std::string OptionsFilePath() {
    return XdgFilePath("XDG_CONFIG_HOME", ".config", "DRAVO/TLX4.conf");
}

std::string LocalDataFilePath(const std::string& relative) {
    return XdgFilePath("XDG_DATA_HOME", ".local/share", relative);
}
