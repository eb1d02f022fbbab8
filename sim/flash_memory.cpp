#include "sim/flash_memory.h"

#include <algorithm>
#include <cstring>

FlashMemory::FlashMemory(std::uint32_t base, std::uint32_t size, std::uint32_t eraseUnit)
    : base_(base), eraseUnit_(eraseUnit), bytes_(size, 0xFF) {}

bool FlashMemory::Contains(std::uint32_t address, std::uint32_t length) const {
    const std::uint64_t first = address;
    return first >= base_ && first + length <= std::uint64_t{base_} + bytes_.size();
}

bool FlashMemory::IsErased(std::uint32_t address, std::uint32_t length) const {
    if (!Contains(address, length)) {
        return false;
    }
    const auto first = bytes_.begin() + (address - base_);
    return std::all_of(first, first + length, [](std::uint8_t b) { return b == 0xFF; });
}

bool FlashMemory::Read(std::uint32_t address, std::uint8_t* out, std::uint32_t length) const {
    if (!Contains(address, length)) {
        return false;
    }
    std::memcpy(out, bytes_.data() + (address - base_), length);
    return true;
}

std::vector<std::uint8_t> FlashMemory::Read(std::uint32_t address, std::uint32_t length) const {
    std::vector<std::uint8_t> out(length);
    if (!Read(address, out.data(), length)) {
        out.clear();
    }
    return out;
}

bool FlashMemory::Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t length) {
    if (!IsErased(address, length)) {
        return false;
    }
    std::memcpy(bytes_.data() + (address - base_), data, length);
    ++writes_;
    return true;
}

bool FlashMemory::EraseUnitAt(std::uint32_t address) {
    if (!Contains(address, 1)) {
        return false;
    }
    const std::uint32_t offset = (address - base_) / eraseUnit_ * eraseUnit_;
    const std::uint32_t length = std::min<std::uint32_t>(eraseUnit_, Size() - offset);
    std::memset(bytes_.data() + offset, 0xFF, length);
    ++erases_;
    return true;
}

void FlashMemory::Fill(std::uint32_t address, const std::uint8_t* data, std::uint32_t length) {
    if (Contains(address, length)) {
        std::memcpy(bytes_.data() + (address - base_), data, length);
    }
}
