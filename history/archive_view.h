#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/history_archive.h"

// What the history page shows of the archive: the archived devices for the
// list, the device shown and its records as a history for the chart, with
// the CSV over all of them.
struct ArchiveView {
    std::string path;
    // Why the archive could not be read (it names the file); empty when it could.
    std::string error;
    std::vector<ArchivedDevice> devices;
    // Of `devices`; -1 when the device asked for is not archived, or there is none.
    int shown = -1;
    // The device asked for is the connected one, not one chosen in the list.
    bool connected = false;
    // The connected or chosen device, when there is one.
    std::optional<ArchiveDeviceKey> asked;
    // Valid only when the shown device has records.
    DeviceHistory history;
    std::string csv;
};

// Reads the archive at `path` (on the device worker: it can be large): the
// connected device's records when one is connected, otherwise those of the
// archived device `chosen`, or of the first in the list when that is gone.
ArchiveView LoadArchiveView(const std::string& path,
                            const std::optional<ArchiveDeviceKey>& connected,
                            std::optional<std::int64_t> chosen);

// Why the view shows no records, in the interface language; empty when it has some.
std::string ArchiveViewNote(const ArchiveView& view);

// How the list names an archived device: "serial (model)", or its unique id
// when it has no serial number.
std::string ArchivedDeviceName(const ArchiveDeviceKey& key);
