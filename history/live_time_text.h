#pragma once

#include <cstdint>
#include <string>

// The PC's local time of a UTC instant in ISO 8601 with the UTC offset of
// that instant, with milliseconds: 2024-05-01T14:03:07.250+02:00, or without:
// 2024-05-01T14:03:07+02:00.
std::string LocalIsoTimeText(std::int64_t utcMs, bool milliseconds = true);
