#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/choice_lists.h"

// The two models whose settings the program edits.
enum class SettingsModel { K310, K520 };

enum class SettingKind { List, Flag };

// Where a page puts a setting's control.
enum class SettingPlace { ListColumn, SoundGroup, AlarmGroup, RightColumn };

inline constexpr std::uint16_t kParamCalibration = 4;

// One setting of one model: its device parameter and how the page shows it.
// The same parameter means different things on the two models, so a binding
// belongs to a model's description, never to the id alone.
struct SettingBinding {
    const char* key;  // stable English name in settings files and the CLI
    std::uint16_t parameter;
    SettingKind kind;
    ChoiceList list;  // lists only
    bool inverted;    // flags only: the device stores 0 for on
    SettingPlace place;
    const char* control;  // object-name suffix: ComboBox_Setup_K310_<control>
    const char* russian;  // label or check-box caption
    const char* english;
    int defaultCode;  // what Default selects; -1 leaves the setting alone
};

// Everything that tells one model's settings page from the other: the settings
// in the order they are read and written, and the calibration's start text.
struct ModelDescription {
    SettingsModel model;
    const char* tag;  // "K310": part of every object name
    std::vector<SettingBinding> settings;
    const char* defaultCalibration;

    // Index into `settings`, or -1.
    int IndexOf(const std::string& key) const;
};

const ModelDescription& DescriptionOf(SettingsModel model);

// "K310" / "K520" (any case), or none.
std::optional<SettingsModel> ModelFromTag(const std::string& tag);
// The model of an identified board code, or none for other boards.
std::optional<SettingsModel> ModelOfBoard(std::uint16_t boardCode);

// Codes: a list's code is the choice's position; a flag's code is 1 for on, on
// both models, whatever the device stores.
std::optional<int> CodeOfDeviceValue(const SettingBinding& binding, std::uint32_t value);
std::uint32_t DeviceValueOfCode(const SettingBinding& binding, int code);
// Whether `code` names a choice of the list (or is 0 or 1 for a flag).
bool CodeInRange(const SettingBinding& binding, int code);
