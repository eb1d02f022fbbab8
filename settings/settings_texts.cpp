#include "settings/settings_texts.h"

#include "protocol/calendar.h"
#include "protocol/texts.h"
#include "protocol/units.h"

SettingsTexts DeviceSettingsTexts() {
    return {RateUnitName, DoseUnitName, [](const DeviceTimeRecord& time) {
                const auto bytes = time.ToBytes();
                return DateTimeText(DeviceDateTime::FromBytes(bytes.data()));
            }};
}
