#pragma once

#include <cstdint>

#include "sim/simulated_device.h"

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
