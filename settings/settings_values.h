#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/setting_codes.h"

// What a settings page shows, without its widgets: one code per setting of the
// model, in the description's order. A list without a selection has no code;
// flags always have one (a page starts with every box unticked).
struct SettingsValues {
    explicit SettingsValues(const SupportedModel& model);

    const SupportedModel* model;
    std::vector<std::optional<int>> codes;

    std::optional<int> Code(const std::string& key) const;
    void Set(const std::string& key, std::optional<int> code);

    // The keys of the lists that have no selection, in order.
    std::vector<std::string> UndefinedKeys() const;
    bool AnyUndefined() const { return !UndefinedKeys().empty(); }

    // Selects every default of the model; the device language stays as it is.
    void ApplyDefaults();
};

// "Some Settings undefined\n\rSaving unavaliable" in the current language.
std::string UndefinedSettingsMessage();
