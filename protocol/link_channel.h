#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/answer_queue.h"

// One logical endpoint of the link: its address, the destination word of the
// requests it sends, the answers delivered to it and the answer last matched.
class LinkChannel {
  public:
    static constexpr int kNoAddress = -1;

    // `address` must be valid and free; the registry decides (see ChannelRegistry).
    explicit LinkChannel(int address) : address_(address) {}

    int Address() const { return address_; }
    // Packet offsets 0-1 of every request: no flags, the device at address 1.
    std::array<std::uint8_t, 2> DestinationWord() const { return {0x00, 0x01}; }

    AnswerQueue& Queue() { return queue_; }

    // The packet matched by the last successful Transact on this channel.
    const std::uint8_t* AnswerPacket() const { return answer_.data(); }
    std::size_t AnswerPacketLength() const { return answerLength_; }
    // Packet length minus the 4 header bytes (group, code and data), never below 0.
    std::size_t AnswerPayloadLength() const { return answerLength_ > 4 ? answerLength_ - 4 : 0; }
    // The answer packet from offset 6 on.
    const std::uint8_t* AnswerData() const { return answer_.data() + 6; }
    std::size_t AnswerDataLength() const { return answerLength_ > 6 ? answerLength_ - 6 : 0; }

    void SetAnswer(const std::uint8_t* packet, std::size_t length);
    void ClearAnswer() { answerLength_ = 0; }

  private:
    int address_;
    AnswerQueue queue_;
    std::array<std::uint8_t, AnswerQueue::kEntryCapacity> answer_{};
    std::size_t answerLength_ = 0;
};
