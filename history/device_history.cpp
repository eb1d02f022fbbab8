#include "history/device_history.h"

#include <algorithm>

namespace {
constexpr std::uint16_t kTwoSensorBoard = 310;
}

void DeviceHistory::Reset() {
    header = HistoryHeader{};
    valid = false;
    k100 = kDefaultK100;
    fromArchive = false;
    archived.clear();
}

std::uint32_t ClampK100(std::uint32_t value) {
    return std::clamp(value, DeviceHistory::kMinK100, DeviceHistory::kMaxK100);
}

int SensorCount(std::uint16_t boardCode) {
    return boardCode == kTwoSensorBoard ? 2 : 1;
}
