#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "sim/device_end.h"

// The device end of a pseudo-terminal, plugged in as the symlink `linkPath`
// to its slave. The sim keeps the slave open itself (raw, 230400 8N1) so that
// the program opening and closing the port does not hang up the master.
// Destroying it unplugs: the link is removed and both ends are closed, so an
// open program end sees the hang-up.
class PtyPort final : public DeviceEnd {
  public:
    static std::unique_ptr<PtyPort> Open(const std::string& linkPath, std::string& error);
    ~PtyPort() override;

    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    int WaitHandle() const override { return master_; }
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override;
    bool WriteAll(const std::uint8_t* data, std::size_t length, int timeoutMs) override;
    void AwaitTaken(std::chrono::milliseconds bound) override;
    std::string DevicePath() const override { return slavePath_; }

  private:
    PtyPort() = default;

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};
