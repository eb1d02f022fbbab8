#pragma once

#include <string>
#include <vector>

inline constexpr const char* kAppVersion = "1.1";

// The local date and time in the user's locale (short date, long time).
std::string LocalDateTimeText();

std::vector<std::string> StartBanner(const std::string& dateTime);
std::vector<std::string> EndBanner(const std::string& dateTime);
