#include "history/history_reading_result.h"

#include <algorithm>

#include "protocol/device_models.h"

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
    const SupportedModel* model = FindSupportedModel(boardCode);
    return model ? model->sensors : 1;
}
