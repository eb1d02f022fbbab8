#pragma once

#include <string>
#include <string_view>

#include "base/dialogs.h"
#include "history/history_reading_result.h"

// The Save CSV button: asks for the file name (proposing the last one), asks
// before overwriting, and writes the reading's CSV text so that the old file
// survives every failure. `lastCsvFileName` becomes the chosen name once the
// new file could be made.
void SaveCsvClick(const DeviceHistory& history, Dialogs& dialogs, std::string& lastCsvFileName);
// The same for a CSV text made elsewhere; `valid` false refuses as before a reading.
void SaveCsvText(bool valid, std::string_view text, Dialogs& dialogs, std::string& lastCsvFileName);

// The chosen name with ".csv" added when it has no extension.
std::string WithCsvExtension(const std::string& name);
