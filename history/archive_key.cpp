#include "history/archive_key.h"

#include <algorithm>

ArchiveDeviceKey ArchiveKeyOf(const DeviceInfo& info) {
    const std::string digits = SerialDigits(info.inf1);
    // Erased serial bytes read as all F: such devices differ only by their unique id.
    const bool unprogrammed =
        std::all_of(digits.begin(), digits.end(), [](char digit) { return digit == 'F'; });
    return {unprogrammed ? std::string() : SerialNumberText(info.inf1), UniqueIdText(info.uid),
            info.modelName};
}
