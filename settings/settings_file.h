#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "settings/settings_values.h"

// Settings kept in a JSON file: the format's name and version, the model, the
// device's serial number, the date, every setting by its key with its code,
// and the calibration text.
inline constexpr const char* kSettingsFormatName = "dravo-settings";
inline constexpr int kSettingsFormatVersion = 1;
// Far above any real settings file; a larger file is refused unread.
inline constexpr std::size_t kSettingsFileLimit = 64 * 1024;

struct SettingsFileIdentity {
    std::string serialNumber;  // empty when unknown
    std::string date;          // local time, "2026-12-09 03:30:00"
};

// The document text; every setting must be defined.
std::string SettingsDocument(const SettingsValues& values, const std::string& calibration,
                             const SettingsFileIdentity& identity);

// What a checked file holds. `error` names the first fault in the current
// language; then nothing else is set.
struct SettingsFileCheck {
    std::string error;
    std::optional<SettingsValues> values;
    std::string calibration;  // in normal form
    SettingsFileIdentity identity;

    bool Ok() const { return error.empty(); }
};

// Checks the whole document against the model before anything is taken from it.
SettingsFileCheck CheckSettingsDocument(const std::string& text, const SupportedModel& model);
SettingsFileCheck LoadSettingsFile(const std::string& path, const SupportedModel& model);

// The local date and time as a settings file records it.
std::string SettingsFileDate();
