#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The PC's local time of a UTC instant in ISO 8601 with milliseconds and the
// UTC offset of that instant: 2024-05-01T14:03:07.250+02:00.
std::string LocalIsoTimeText(std::int64_t utcMs);

// A command line's date: YYYY-MM-DD[THH:MM[:SS]] in local time, as UTC
// milliseconds; nothing for any other text.
std::optional<std::int64_t> LocalDateArgumentMs(const std::string& text);
