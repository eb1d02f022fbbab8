#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/device_info.h"

// The lines of the information page for an identification; none unless it is valid.
std::vector<std::string> DeviceInfoLines(const DeviceInfo& info);

// The two lines offering the carried firmware; none when the device runs its
// boot loader, is up to date, or is of another board.
std::vector<std::string> UpdateOfferLines(const DeviceInfo& info);

// The question before an update; none for a board without carried firmware.
std::optional<std::string> UpdateConfirmationText(std::uint16_t boardCode);

// The carried version as the texts announce it, behind the model's prefix ("1.20.12.6", "12.3").
std::string AnnouncedCarriedVersion(std::uint16_t boardCode);
