#pragma once

#include "measure/calendar.h"
#include "measure/texts.h"
#include "measure/units.h"
#include "settings/settings_texts.h"

// The settings' texts wired to the measurement subsystem's, as the front ends wire them.
inline SettingsTexts SettingsTextsOfMeasure() {
    return {RateUnitName, DoseUnitName, [](const DeviceTimeRecord& time) {
                const auto bytes = time.ToBytes();
                return DateTimeText(DeviceDateTime::FromBytes(bytes.data()));
            }};
}
