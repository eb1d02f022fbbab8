#include "protocol/frame.h"

namespace frame {

std::uint16_t Checksum(const std::uint8_t* packet, std::size_t length) {
    std::uint16_t sum = kChecksumStart;
    for (std::size_t i = 0; i < length; ++i) {
        sum = ChecksumStep(sum, packet[i]);
    }
    return sum;
}

}  // namespace frame

namespace {

// The last index a frame byte may occupy before the closing delimiter.
constexpr std::size_t kLastBodyIndex = 547;

}  // namespace

std::size_t FrameEncoder::Encode(const std::uint8_t* packet, std::size_t length) {
    if (packet == nullptr) {
        return 0;
    }
    std::size_t position = 0;
    buffer_[position] = frame::kDelimiter;
    auto put = [&](std::uint8_t byte) {
        if (byte == frame::kDelimiter || byte == frame::kEscape) {
            if (position + 2 > kLastBodyIndex) {
                return false;
            }
            buffer_[++position] = frame::kEscape;
            buffer_[++position] =
                byte == frame::kDelimiter ? frame::kEscapedDelimiter : frame::kEscapedEscape;
        } else {
            if (position + 1 > kLastBodyIndex) {
                return false;
            }
            buffer_[++position] = byte;
        }
        return true;
    };
    std::uint16_t sum = frame::kChecksumStart;
    for (std::size_t i = 0; i < length; ++i) {
        if (!put(packet[i])) {
            return 0;
        }
        sum = frame::ChecksumStep(sum, packet[i]);
    }
    if (!put(static_cast<std::uint8_t>(sum & 0xFF)) || !put(static_cast<std::uint8_t>(sum >> 8))) {
        return 0;
    }
    buffer_[++position] = frame::kDelimiter;
    return position + 1;
}

void FrameDecoder::Restart() {
    count_ = 0;
    sum_ = frame::kChecksumStart;
    state_ = State::InFrame;
}

void FrameDecoder::Store(std::uint8_t byte) {
    buffer_[count_++] = byte;
    // The sum trails the stored bytes by two, so at the closing delimiter it
    // covers exactly the packet without its checksum.
    if (count_ >= 3) {
        sum_ = frame::ChecksumStep(sum_, buffer_[count_ - 3]);
    }
}

bool FrameDecoder::Push(std::uint8_t byte) {
    if (ready_) {
        ready_ = false;
        state_ = State::Idle;
        count_ = 0;
    }
    switch (state_) {
        case State::Idle:
            if (byte == frame::kDelimiter) {
                Restart();
            }
            return false;
        case State::InFrame:
            if (byte == frame::kDelimiter) {
                if (count_ >= 3 && buffer_[count_ - 2] == (sum_ & 0xFF) &&
                    buffer_[count_ - 1] == (sum_ >> 8)) {
                    count_ -= 2;
                    ready_ = true;
                    state_ = State::Idle;
                    return true;
                }
                Restart();
                return false;
            }
            if (count_ >= kBufferSize - 1) {
                state_ = State::Idle;
            } else if (byte == frame::kEscape) {
                state_ = State::Escape;
            } else {
                Store(byte);
            }
            return false;
        case State::Escape:
            state_ = State::InFrame;
            if (byte == frame::kEscapedDelimiter) {
                Store(frame::kDelimiter);
            } else if (byte == frame::kEscapedEscape) {
                Store(frame::kEscape);
            } else if (byte == frame::kDelimiter) {
                Restart();
            } else {
                state_ = State::Idle;
            }
            return false;
    }
    return false;
}
