#pragma once

#include <cstdint>
#include <vector>

#include "protocol/device_models.h"

// A model the program does not ship, described only by a row of its own, with
// images of its own sizes: what works for it works for any new model. The row
// lives as long as the object.
class ThirdModel {
  public:
    static constexpr std::uint16_t kBoard = 777;
    static constexpr std::uint8_t kRevision = 1;
    static constexpr std::uint16_t kCarried = 0x0102;
    static constexpr std::size_t kExternalSize = 0x1800;
    static constexpr std::size_t kCpuSize = 0x900;

    ThirdModel() : external_(kExternalSize, 0xA5), cpu_(kCpuSize, 0x5A) {
        row_ = AddSupportedModel({
            .boardCode = kBoard,
            .tag = "K777",
            .name = "RDK-777",
            .namedVariant = -1,
            .variantName = nullptr,
            .minRevision = kRevision,
            .maxRevision = kRevision,
            .requiredVariant = -1,
            .minCpuType = 4,
            .maxCpuType = 8,
            .minMainVersion = 0x0101,
            .carriedMainVersion = kCarried,
            .announcedPrefix = "",
            .sensors = 1,
            .clock = false,
            .screen = ScreenLayout::Wide,
            .flashChunk = 64,
            .externalImage = external_,
            .cpuImages = {{kRevision, cpu_}},
            .settings = {{"units", 9, SettingKind::List, ChoiceList::Units, false,
                          SettingPlace::ListColumn, "Units", "Единицы измерения",
                          "Units of Measurement", 0},
                         {"sound", 3, SettingKind::Flag, ChoiceList::Units, false,
                          SettingPlace::SoundGroup, "Sound_EN", "Звук включен", "Sound ON", 1}},
            .defaultCalibration = "1,10",
            .pageNumber = 6,
        });
    }
    ~ThirdModel() { RemoveLastAddedModel(); }
    ThirdModel(const ThirdModel&) = delete;
    ThirdModel& operator=(const ThirdModel&) = delete;

    const SupportedModel& Row() const { return *row_; }

  private:
    std::vector<std::uint8_t> external_;
    std::vector<std::uint8_t> cpu_;
    const SupportedModel* row_ = nullptr;
};
