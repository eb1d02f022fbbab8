#pragma once

#include <string>

// The program's options file: DRAVO/TLX4.conf under XDG_CONFIG_HOME, or
// under ~/.config when that is not set. The window and dravo-cli read the
// same file.
std::string OptionsFilePath();

// `relative` under the folder the XDG variable `variable` names, or under
// `$HOME/homeFallback` when it is not set.
std::string XdgFilePath(const char* variable, const char* homeFallback,
                        const std::string& relative);
