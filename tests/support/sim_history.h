#pragma once

#include <cstdint>
#include <utility>

#include "sim/simulated_device.h"

// The device's measurement records outside slot 0 of their page (those a CSV
// exports), and those in it.
inline std::pair<std::uint32_t, std::uint32_t> MeasurementsBySlot(SimulatedDevice& device) {
    return device.WithModel([](DeviceModel& model) {
        std::pair<std::uint32_t, std::uint32_t> counts{0, 0};
        const HistoryRing& ring = model.History();
        for (std::uint32_t k = 0; k < ring.Count(); ++k) {
            const SimHistoryRecord r = ring.RecordAt(ring.Oldest() + k);
            if ((r.state == 0xFE || r.state == 0xFC) && r.validity == 0) {
                ++((ring.Oldest() + k) % 256 == 0 ? counts.second : counts.first);
            }
        }
        return counts;
    });
}

// The device goes on measuring: `count` more records of a minute each.
inline void AddMinuteRecords(SimulatedDevice& device, std::uint32_t count) {
    device.WithModel([count](DeviceModel& model) {
        HistoryRing& ring = model.History();
        for (std::uint32_t i = 0; i < count; ++i) {
            SimHistoryRecord record;
            record.start = ring.LastEnd();
            record.length = 60;
            record.pulses = 40 + i % 13;
            ring.Append(record);
        }
        return 0;
    });
}
