#pragma once

#include "history/history_archive.h"
#include "protocol/device_info.h"

// The identified device's key in the archive.
ArchiveDeviceKey ArchiveKeyOf(const DeviceInfo& info);
