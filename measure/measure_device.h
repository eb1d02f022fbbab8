#pragma once

#include <cstdint>

// The device exchanges the measurement page needs. The application adapts the
// command layer to it; tests script it.
class MeasureDevice {
  public:
    virtual ~MeasureDevice() = default;
    // Logged parameter read; false when the device did not answer.
    virtual bool ReadParameter(std::uint16_t id, std::uint32_t& value) = 0;
    // Logged parameter write; false when the device did not answer.
    virtual bool WriteParameter(std::uint16_t id, std::uint32_t value) = 0;
    // Bytes read into `destination`, 0 or negative on failure.
    virtual int MemRead(std::uint32_t address, std::uint8_t* destination, int length) = 0;
};
