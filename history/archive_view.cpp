#include "history/archive_view.h"

#include <algorithm>

#include "base/language.h"
#include "history/archive_to_history.h"

namespace {

bool SameDevice(const ArchiveDeviceKey& a, const ArchiveDeviceKey& b) {
    return a.serial == b.serial && a.uid == b.uid && a.model == b.model;
}

int ShownDevice(const std::vector<ArchivedDevice>& devices,
                const std::optional<ArchiveDeviceKey>& connected,
                std::optional<std::int64_t> chosen) {
    const auto found = std::find_if(devices.begin(), devices.end(), [&](const ArchivedDevice& d) {
        return connected ? SameDevice(d.key, *connected) : chosen && d.id == *chosen;
    });
    if (found != devices.end()) {
        return static_cast<int>(found - devices.begin());
    }
    return connected || devices.empty() ? -1 : 0;
}

}  // namespace

ArchiveView LoadArchiveView(const std::string& path,
                            const std::optional<ArchiveDeviceKey>& connected,
                            std::optional<std::int64_t> chosen) {
    ArchiveView view;
    view.path = path;
    view.connected = connected.has_value();
    view.asked = connected;
    HistoryArchive archive(path);
    if (!archive.Open()) {
        view.error = archive.Error();
        return view;
    }
    view.devices = archive.Devices();
    view.shown = ShownDevice(view.devices, connected, chosen);
    if (view.shown < 0) {
        view.error = archive.Error();
        return view;
    }
    const ArchivedDevice& device = view.devices[static_cast<std::size_t>(view.shown)];
    view.asked = device.key;
    const std::vector<ArchivedRecord> records = archive.Records(device.id);
    view.error = archive.Error();
    if (view.error.empty() && !records.empty()) {
        LoadArchiveHistory(records, view.history);
        view.csv = ArchiveCsv(records, 0, UINT32_MAX);
    }
    return view;
}

std::string ArchiveViewNote(const ArchiveView& view) {
    if (!view.error.empty()) {
        return view.error;
    }
    if (view.history.valid) {
        return {};
    }
    if (view.asked) {
        const std::string name = ArchivedDeviceName(*view.asked);
        return PickText("В архиве нет записей прибора " + name,
                        "The archive holds no records of the device " + name);
    }
    return PickText("Архив истории пуст: " + view.path,
                    "The history archive is empty: " + view.path);
}

std::string ArchivedDeviceName(const ArchiveDeviceKey& key) {
    return key.serial.empty() ? key.uid : key.serial + " (" + key.model + ")";
}
