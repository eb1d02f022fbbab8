#include "protocol/channel_registry.h"

namespace {
constexpr int kFirstAddress = 1;
constexpr int kLastAddress = 31;
constexpr std::size_t kMinimumPacket = 6;
constexpr std::uint8_t kAddressMask = 0x1F;
}  // namespace

LinkChannel* ChannelRegistry::FindLocked(int address) {
    if (address == LinkChannel::kNoAddress) {
        return nullptr;
    }
    for (LinkChannel& channel : channels_) {
        if (channel.Address() == address) {
            return &channel;
        }
    }
    return nullptr;
}

LinkChannel* ChannelRegistry::Find(int address) {
    std::lock_guard<std::mutex> guard(lock_);
    return FindLocked(address);
}

LinkChannel& ChannelRegistry::Create(int address) {
    std::lock_guard<std::mutex> guard(lock_);
    const bool usable =
        address >= kFirstAddress && address <= kLastAddress && FindLocked(address) == nullptr;
    return channels_.emplace_back(usable ? address : LinkChannel::kNoAddress);
}

bool ChannelRegistry::Dispatch(const std::uint8_t* packet, std::size_t length) {
    if (packet == nullptr || length < kMinimumPacket) {
        return false;
    }
    std::lock_guard<std::mutex> guard(lock_);
    LinkChannel* channel = FindLocked(packet[1] & kAddressMask);
    return channel != nullptr && channel->Queue().Append(packet, length);
}
