#include "protocol/link_channel.h"

#include <algorithm>

void LinkChannel::SetAnswer(const std::uint8_t* packet, std::size_t length) {
    answerLength_ = std::min(length, answer_.size());
    std::copy(packet, packet + answerLength_, answer_.begin());
}
