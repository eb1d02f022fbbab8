#pragma once

#include <cstdint>
#include <vector>

// NOR flash as the device has it: erased bytes read 0xFF, erasing works on
// whole units, and a write is refused unless every byte it covers is erased.
class FlashMemory {
  public:
    FlashMemory(std::uint32_t base, std::uint32_t size, std::uint32_t eraseUnit);

    std::uint32_t Base() const { return base_; }
    std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes_.size()); }
    std::uint32_t EraseUnit() const { return eraseUnit_; }

    bool Contains(std::uint32_t address, std::uint32_t length) const;
    bool IsErased(std::uint32_t address, std::uint32_t length) const;

    // Copies what lies at [address, address + length); false when outside.
    bool Read(std::uint32_t address, std::uint8_t* out, std::uint32_t length) const;
    std::vector<std::uint8_t> Read(std::uint32_t address, std::uint32_t length) const;

    // False (nothing written) when outside or when a covered byte is not erased.
    bool Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t length);

    // Erases the unit holding `address`; false when outside.
    bool EraseUnitAt(std::uint32_t address);

    // Unchecked fill, for building the device's factory contents.
    void Fill(std::uint32_t address, const std::uint8_t* data, std::uint32_t length);

    std::uint64_t WriteCount() const { return writes_; }
    std::uint64_t EraseCount() const { return erases_; }

  private:
    std::uint32_t base_;
    std::uint32_t eraseUnit_;
    std::vector<std::uint8_t> bytes_;
    std::uint64_t writes_ = 0;
    std::uint64_t erases_ = 0;
};
