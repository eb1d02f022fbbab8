#pragma once

#include <string>

#include "history/live_reading.h"

// One measurement reading as one line of JSON, the same for a watch and for
// the archive: time, rate, unit, usv_h, cpm and level.
std::string LiveReadingJsonLine(const LiveReading& reading);
