#include "protocol/device_models.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "protocol/built_in_models.h"

namespace {

struct Table {
    std::deque<SupportedModel> rows;
    std::size_t builtIn;
};

Table& TheTable() {
    static Table table = [] {
        std::deque<SupportedModel> rows = BuiltInModels();
        const std::size_t builtIn = rows.size();
        return Table{std::move(rows), builtIn};
    }();
    return table;
}

std::deque<SupportedModel>& Rows() {
    return TheTable().rows;
}

// Boards that are not rows but have a clock.
constexpr std::array<std::uint16_t, 2> kOtherClockBoards{415, 425};

// Identification block board type index 1..7 to board code.
constexpr std::array<std::uint16_t, 7> kBoardCodeOfIndex{405, 430, 415, 520, 425, 310, 96};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

bool SupportedModel::HardwareMatches(const BoardInfo& board) const {
    return board.boardCode == boardCode && board.revision >= minRevision &&
           board.revision <= maxRevision &&
           (requiredVariant < 0 || board.variant == requiredVariant);
}

bool SupportedModel::CpuMatches(std::uint16_t cpuType) const {
    return cpuType >= minCpuType && cpuType <= maxCpuType;
}

std::string SupportedModel::NameOf(const BoardInfo& board) const {
    return board.variant == namedVariant ? variantName : name;
}

std::optional<ImageBytes> SupportedModel::CpuImage(std::uint8_t revision) const {
    for (const CpuImageOfRevision& each : cpuImages) {
        if (each.revision == revision) {
            return each.image;
        }
    }
    return std::nullopt;
}

int SupportedModel::IndexOf(const std::string& key) const {
    const auto found =
        std::find_if(settings.begin(), settings.end(),
                     [&key](const SettingBinding& binding) { return key == binding.key; });
    return found == settings.end() ? -1 : static_cast<int>(found - settings.begin());
}

const std::deque<SupportedModel>& SupportedModels() {
    return Rows();
}

const SupportedModel* FindSupportedModel(std::uint16_t boardCode) {
    for (const SupportedModel& model : Rows()) {
        if (model.boardCode == boardCode) {
            return &model;
        }
    }
    return nullptr;
}

const SupportedModel* FindSupportedModelByTag(const std::string& tag) {
    const std::string upper = Upper(tag);
    for (const SupportedModel& model : Rows()) {
        if (upper == model.tag) {
            return &model;
        }
    }
    return nullptr;
}

const SupportedModel* AddSupportedModel(SupportedModel row) {
    if (FindSupportedModel(row.boardCode) != nullptr) {
        return nullptr;
    }
    return &Rows().emplace_back(std::move(row));
}

void RemoveLastAddedModel() {
    Table& table = TheTable();
    if (table.rows.size() > table.builtIn) {
        table.rows.pop_back();
    }
}

std::optional<std::uint16_t> BoardCodeOfTypeIndex(std::uint8_t index) {
    if (index < 1 || index > kBoardCodeOfIndex.size()) {
        return std::nullopt;
    }
    return kBoardCodeOfIndex[index - 1];
}

bool BoardHasClock(std::uint16_t boardCode) {
    if (const SupportedModel* model = FindSupportedModel(boardCode)) {
        return model->clock;
    }
    return std::find(kOtherClockBoards.begin(), kOtherClockBoards.end(), boardCode) !=
           kOtherClockBoards.end();
}
