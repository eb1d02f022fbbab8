#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/device_records.h"
#include "protocol/setting_binding.h"

// Every fact the program holds about a supported model is one row of this
// table: identification, the gates, the information texts, the firmware
// update, the settings page and the window's tabs all read the row, so a new
// model is a new row and its images.

// Firmware the program carries, sent to the device unchanged.
using ImageBytes = std::span<const std::uint8_t>;

// How the device's own screen is laid out while the program draws on it.
enum class ScreenLayout { Narrow, Wide };

struct CpuImageOfRevision {
    std::uint8_t revision;
    ImageBytes image;
};

struct SupportedModel {
    std::uint16_t boardCode;
    const char* tag;   // "K310": the settings tab, object names, settings files, the CLI
    const char* name;  // what identification shows before ".revision.variant"
    // A variant that carries a name of its own (-1: none).
    int namedVariant;
    const char* variantName;
    std::uint8_t minRevision;
    std::uint8_t maxRevision;
    int requiredVariant;  // -1: any
    std::uint16_t minCpuType;
    std::uint16_t maxCpuType;
    std::uint16_t minMainVersion;  // older firmware must be updated before use
    // What the carried images hold, and how the texts announce it ("1.20." + "12.6").
    std::uint16_t carriedMainVersion;
    const char* announcedPrefix;
    int sensors;  // counting tubes
    bool clock;   // keeps a clock the program may read and set
    ScreenLayout screen;
    std::uint32_t flashChunk;  // bytes per write request on the model's own CPUs
    ImageBytes externalImage;
    std::vector<CpuImageOfRevision> cpuImages;
    // The settings in the order they are read and written, and the
    // calibration's start text.
    std::vector<SettingBinding> settings;
    const char* defaultCalibration;
    // The settings tab's number in the saved options (PAGENUM): fixed per row,
    // so that a new row never shifts a number a user has saved.
    int pageNumber;

    bool HardwareMatches(const BoardInfo& board) const;
    bool CpuMatches(std::uint16_t cpuType) const;
    bool FirmwareCurrent(std::uint16_t mainVersion) const { return mainVersion >= minMainVersion; }
    std::string NameOf(const BoardInfo& board) const;
    std::optional<ImageBytes> CpuImage(std::uint8_t revision) const;
    // Index into `settings`, or -1.
    int IndexOf(const std::string& key) const;
};

// The rows in the order the window shows their tabs.
const std::deque<SupportedModel>& SupportedModels();
// Null for a board code the program does not support.
const SupportedModel* FindSupportedModel(std::uint16_t boardCode);
// "K310" in any case; null for another text.
const SupportedModel* FindSupportedModelByTag(const std::string& tag);
// Adds a row after the built-in ones for the rest of the process (a model
// described elsewhere, such as a test's), before any device is opened; a row
// for a code already there is refused with null.
const SupportedModel* AddSupportedModel(SupportedModel row);
// Takes the last added row away again; built-in rows stay.
void RemoveLastAddedModel();

// The board code an identification block's type index (1..7) names, and
// whether a board, supported or not, keeps a clock.
std::optional<std::uint16_t> BoardCodeOfTypeIndex(std::uint8_t index);
bool BoardHasClock(std::uint16_t boardCode);
