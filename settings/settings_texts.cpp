#include "settings/settings_texts.h"

#include "protocol/calendar.h"
#include "protocol/texts.h"

std::string ClockRecordText(const DeviceTimeRecord& time) {
    const auto bytes = time.ToBytes();
    return DateTimeText(DeviceDateTime::FromBytes(bytes.data()));
}
