#pragma once

#include <nlohmann/json.hpp>

#include "history/live_reading.h"

// One measurement reading for scripts, the same for a watch's lines and for
// the archive: time, rate, unit, usv_h, cpm and level.
nlohmann::ordered_json LiveReadingJson(const LiveReading& reading);
