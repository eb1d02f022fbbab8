#include "protocol/device_info_models.h"

#include <array>

namespace {
constexpr std::array<SupportedModel, 2> kModels{{
    {kBoardK310, 41, 42, -1, 9, 9, 0x0C06},
    {kBoardK520, 2, 3, 1, 4, 8, 0x0C03},
}};
}  // namespace

bool SupportedModel::HardwareMatches(const BoardInfo& board) const {
    return board.boardCode == boardCode && board.revision >= minRevision &&
           board.revision <= maxRevision &&
           (requiredVariant < 0 || board.variant == requiredVariant);
}

bool SupportedModel::CpuMatches(std::uint16_t cpuType) const {
    return cpuType >= minCpuType && cpuType <= maxCpuType;
}

const SupportedModel* FindSupportedModel(std::uint16_t boardCode) {
    for (const SupportedModel& model : kModels) {
        if (model.boardCode == boardCode) {
            return &model;
        }
    }
    return nullptr;
}
