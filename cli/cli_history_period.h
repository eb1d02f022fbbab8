#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Seconds since 2000 (the device calendar) of "2026-12-08", "2026-12-08T14:05"
// or "2026-12-08T14:05:30", digits exactly as shown. The parts left out are the start of the period
// the text names, or its last second with `endOfPeriod` (the whole day for a
// date alone). None for a text of another form or a time the device calendar
// cannot hold (outside 2000 to 2099).
std::optional<std::uint32_t> ParseHistoryTime(const std::string& text, bool endOfPeriod);
