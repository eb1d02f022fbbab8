#include "settings/settings_texts.h"

#include "base/language.h"
#include "protocol/calendar.h"
#include "protocol/number_texts.h"

std::string ClockRecordText(const DeviceTimeRecord& time) {
    const auto bytes = time.ToBytes();
    return DateTimeText(DeviceDateTime::FromBytes(bytes.data()));
}

std::string NotTakenMessage(const std::string& failure, const std::string& setting) {
    return failure +
           PickText("\n\rПрибор не принял настройку \"",
                    "\n\rThe device did not take the setting \"") +
           setting + "\"";
}
