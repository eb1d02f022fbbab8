#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Framing on the wire: 0xC0, the escaped packet, the escaped 16-bit checksum
// (low byte first), 0xC0. 0xC0 travels as DB DC and 0xDB as DB DD.
namespace frame {
inline constexpr std::uint8_t kDelimiter = 0xC0;
inline constexpr std::uint8_t kEscape = 0xDB;
inline constexpr std::uint8_t kEscapedDelimiter = 0xDC;
inline constexpr std::uint8_t kEscapedEscape = 0xDD;
inline constexpr std::uint16_t kChecksumStart = 0xFFFF;

inline std::uint16_t ChecksumStep(std::uint16_t sum, std::uint8_t byte) {
    return static_cast<std::uint16_t>(sum + (byte ^ 0x5A) + 1);
}

std::uint16_t Checksum(const std::uint8_t* packet, std::size_t length);
}  // namespace frame

class FrameEncoder {
  public:
    static constexpr std::size_t kBufferSize = 550;

    // Frames `length` packet bytes into the buffer; returns the frame length, or
    // 0 when the packet is missing or its frame would not fit.
    std::size_t Encode(const std::uint8_t* packet, std::size_t length);

    const std::uint8_t* Data() const { return buffer_.data(); }

  private:
    std::array<std::uint8_t, kBufferSize> buffer_{};
};

class FrameDecoder {
  public:
    static constexpr std::size_t kBufferSize = 255;

    // Feeds one received byte; true exactly when it completed a valid packet,
    // which then stays readable until the next byte is pushed.
    bool Push(std::uint8_t byte);

    const std::uint8_t* Packet() const { return buffer_.data(); }
    std::size_t PacketLength() const { return count_; }

  private:
    enum class State { Idle, InFrame, Escape };

    void Restart();
    void Store(std::uint8_t byte);

    std::array<std::uint8_t, kBufferSize> buffer_{};
    std::size_t count_ = 0;
    std::uint16_t sum_ = frame::kChecksumStart;
    State state_ = State::Idle;
    bool ready_ = false;
};
