#pragma once

#include <cstdint>
#include <functional>

#include "base/operation_host.h"
#include "base/operation_outcome.h"
#include "protocol/device_records.h"

// What the history needs of the device: parameter access for the header and
// the command words, the clock and reads of the external flash.
class HistoryDevice {
  public:
    static constexpr std::uint16_t kParamCommand = 0xFF00;
    static constexpr std::uint32_t kBeginAccess = 0xC0BA0010;
    static constexpr std::uint32_t kEndAccess = 0xC0BA0011;
    static constexpr std::uint32_t kDelete = 0xC0BA0012;

    virtual ~HistoryDevice() = default;
    virtual bool ReadParameter(std::uint16_t id, std::uint32_t& value) = 0;
    virtual bool WriteParameter(std::uint16_t id, std::uint32_t value) = 0;
    virtual bool TimeRead(DeviceTimeRecord& time) = 0;
    // One read of `length` bytes; `length`, or -1 (also after answers that stayed short).
    virtual int EflRead(std::uint32_t address, std::uint8_t* destination, int length) = 0;
    // Why the last exchange failed (see DeviceLink::LastFailure).
    virtual OutcomeKind LastFailure() const { return OutcomeKind::NoAnswer; }
    // Writes the end of the history access, also when the program is closing.
    virtual bool EndAccess() { return WriteParameter(kParamCommand, kEndAccess); }
};

// Where a history operation runs and what must hold before it talks to the
// device. Empty functions never refuse.
struct HistoryAccess {
    HistoryDevice& device;
    OperationHost& host;
    // The page gate; the front end shows its notice.
    std::function<bool()> pageGate;

    bool MayStart() const { return !pageGate || pageGate(); }
};
