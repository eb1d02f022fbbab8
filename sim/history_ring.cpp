#include "sim/history_ring.h"

#include <cstring>

namespace {

void Put16(std::uint8_t* out, std::uint16_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t Get(const std::uint8_t* in, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | in[i];
    }
    return value;
}

}  // namespace

std::array<std::uint8_t, 16> SimHistoryRecord::Encode() const {
    std::array<std::uint8_t, 16> bytes{};
    bytes[0] = state;
    bytes[1] = validity;
    Put16(&bytes[2], sequence);
    Put32(&bytes[4], start);
    Put32(&bytes[8], pulses);
    Put16(&bytes[12], length);
    Put16(&bytes[14], spare);
    return bytes;
}

SimHistoryRecord SimHistoryRecord::Decode(const std::uint8_t* bytes) {
    SimHistoryRecord record;
    record.state = bytes[0];
    record.validity = bytes[1];
    record.sequence = static_cast<std::uint16_t>(Get(bytes + 2, 2));
    record.start = Get(bytes + 4, 4);
    record.pulses = Get(bytes + 8, 4);
    record.length = static_cast<std::uint16_t>(Get(bytes + 12, 2));
    record.spare = static_cast<std::uint16_t>(Get(bytes + 14, 2));
    return record;
}

SimHistoryRecord HistoryRing::RecordAt(std::uint32_t index) const {
    std::uint8_t bytes[16];
    if (!flash_.Read(AddressOf(index % kIndexCount), bytes, sizeof bytes)) {
        std::memset(bytes, 0xFF, sizeof bytes);
    }
    return SimHistoryRecord::Decode(bytes);
}

bool HistoryRing::StartPage(std::uint32_t page, std::uint32_t time) {
    if (!flash_.EraseUnitAt(AddressOf(page * kPageSlots))) {
        return false;
    }
    write_ = page * kPageSlots;
    if (slotZero_ == SlotZero::Measurement) {
        return true;
    }
    SimHistoryRecord marker;
    marker.state = kMarkerState;
    marker.validity = 1;
    marker.sequence = sequence_++;
    marker.start = time;
    marker.pulses = 0;
    marker.length = 0;
    const auto bytes = marker.Encode();
    if (!flash_.Write(AddressOf(write_), bytes.data(), 16)) {
        return false;
    }
    ++write_;
    return true;
}

bool HistoryRing::Append(const SimHistoryRecord& record) {
    if (!started_) {
        if (!StartPage(0, record.start)) {
            return false;
        }
        oldest_ = 0;
        started_ = true;
    }
    SimHistoryRecord stored = record;
    stored.sequence = sequence_++;
    const auto bytes = stored.Encode();
    if (!flash_.Write(AddressOf(write_), bytes.data(), 16)) {
        return false;
    }
    lastEnd_ = record.start + record.length;
    ++write_;
    if (write_ % kPageSlots == 0) {
        const std::uint32_t next = write_ / kPageSlots % kPages;
        if (next == oldest_ / kPageSlots) {
            oldest_ = (next + 1) % kPages * kPageSlots;
            wrapped_ = true;
        }
        return StartPage(next, lastEnd_);
    }
    return true;
}

void HistoryRing::Clear() {
    if (started_) {
        for (std::uint32_t page = 0; page < kPages; ++page) {
            if (!flash_.IsErased(AddressOf(page * kPageSlots), kPageBytes)) {
                flash_.EraseUnitAt(AddressOf(page * kPageSlots));
            }
        }
    }
    started_ = false;
    wrapped_ = false;
    oldest_ = 0;
    write_ = 0;
}

std::uint32_t HistoryRing::ParameterC020() const {
    // Page size, and the first 4 KiB sector of the history area.
    return kPageBytes << 16 | (kBase / kPageBytes);
}

std::uint32_t HistoryRing::ParameterC021() const {
    return kPages << 16 | Count();
}

std::uint32_t HistoryRing::ParameterC022() const {
    return oldest_ << 16 | write_;
}

std::uint32_t HistoryRing::ParameterC023() const {
    return wrapped_ ? 1 : 0;
}
