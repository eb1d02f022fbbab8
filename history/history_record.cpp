#include "history/history_record.h"

#include "protocol/device_records.h"

HistoryRecord HistoryRecord::FromBytes(const std::uint8_t* bytes) {
    HistoryRecord record;
    record.state = bytes[0];
    record.validity = bytes[1];
    record.start = ReadLe32(bytes + 4);
    record.pulses = ReadLe32(bytes + 8);
    record.length = ReadLe16(bytes + 12);
    return record;
}
