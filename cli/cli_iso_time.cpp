#include "cli/cli_iso_time.h"

#include "history/live_time_text.h"

std::time_t LocalMoment(const DeviceDateTime& local) {
    std::tm fields{};
    fields.tm_year = 100 + local.year;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;
    // mktime settles the offset of that local time, summer time included.
    return std::mktime(&fields);
}

std::string IsoTime(const DeviceDateTime& local) {
    return IsoTime(LocalMoment(local));
}

std::string IsoTime(std::time_t moment) {
    return LocalIsoTimeText(static_cast<std::int64_t>(moment) * 1000, false);
}
