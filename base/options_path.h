#pragma once

#include <string>

// The program's options file, which the window and dravo-cli read: on Linux
// DRAVO/TLX4.conf under XDG_CONFIG_HOME, or under ~/.config when that is not
// set; on Windows %APPDATA%\DRAVO\TLX4.ini.
std::string OptionsFilePath();

// `relative` (such as "DRAVO/history.sqlite3") in the user's folder for data
// that stays on this machine: XDG_DATA_HOME or ~/.local/share on Linux,
// %LOCALAPPDATA% on Windows.
std::string LocalDataFilePath(const std::string& relative);
