#include "history/live_csv.h"

#include <cstdio>

#include "history/live_time_text.h"

LiveCsv::LiveCsv() : text_("time;unit;rate;usv_h;cpm;level\n") {}

void LiveCsv::Add(const LiveReading& reading) {
    char fields[96];
    const std::optional<std::uint32_t> cpm = CountsPerMinute(reading);
    char usv[32] = "";
    char counts[16] = "";
    if (reading.usvPerHour) {
        std::snprintf(usv, sizeof usv, "%.10g", *reading.usvPerHour);
    }
    if (cpm) {
        std::snprintf(counts, sizeof counts, "%u", *cpm);
    }
    std::snprintf(fields, sizeof fields, ";%s;%.10g;%s;%s;%d\n", LiveUnitCode(reading.units),
                  DisplayedRate(reading), usv, counts, reading.level);
    text_ += LocalIsoTimeText(reading.timeMs);
    text_ += fields;
}

std::string LiveCsvOf(const std::vector<LiveReading>& readings) {
    LiveCsv csv;
    for (const LiveReading& reading : readings) {
        csv.Add(reading);
    }
    return csv.Text();
}
