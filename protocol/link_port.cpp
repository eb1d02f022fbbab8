#include "protocol/link_port.h"

#include <algorithm>
#include <array>

void LinkPort::OnDataReceived(std::size_t count) {
    if (DeviceLink* link = link_.load()) {
        link->OnDataReceived(count);
        return;
    }
    // Nobody listens: drain what came so the reader does not wake for it again.
    std::array<std::uint8_t, DeviceLink::kReadLimit> discard;
    ReadBytes(discard.data(), std::min(count, discard.size()));
}

void LinkPort::OnVanished() {
    if (DeviceLink* link = link_.load()) {
        link->WakeWaiters();
    }
}
