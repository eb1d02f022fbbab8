#pragma once

#include <atomic>

#include "protocol/device_link.h"
#include "serial/com_port.h"

// The program's concrete port: received bytes go to the attached DeviceLink.
class LinkPort final : public ComPort {
  public:
    using ComPort::ComPort;
    ~LinkPort() override { ClosePort(); }

    // Attach before opening; detach (or close) before the link goes away.
    void Attach(DeviceLink* link) { link_.store(link); }

    void OnDataReceived(std::size_t count) override;
    void OnVanished() override;

  private:
    std::atomic<DeviceLink*> link_{nullptr};
};
