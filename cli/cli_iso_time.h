#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "protocol/calendar.h"

// Times for scripts, ISO 8601 with this PC's UTC offset at that moment:
// "2026-12-10T12:00:31+03:00". The device keeps the PC's local time, so its
// times take the PC's offset too.
std::string IsoTime(const DeviceDateTime& local);
std::string IsoTime(std::time_t moment);
// The moment of a local time, summer time included.
std::time_t LocalMoment(const DeviceDateTime& local);
