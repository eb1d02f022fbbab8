#include "sim/device_end.h"

#include "serial/memory_line.h"

namespace {

class MemoryEnd final : public DeviceEnd {
  public:
    MemoryEnd(int com, std::function<void()> wake)
        : com_(com), line_(std::make_shared<MemoryLine>()) {
        line_->SetDeviceWake(std::move(wake));
        memory_ports::Plug(com_, line_);
    }
    ~MemoryEnd() override {
        memory_ports::Unplug(com_);
        line_->SetDeviceWake(nullptr);
        line_->HangUp();
    }

    int WaitHandle() const override { return -1; }
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override {
        return line_->DeviceRead(buffer, count);
    }
    bool WriteAll(const std::uint8_t* data, std::size_t length, int) override {
        line_->DeviceSend(data, length);
        return true;
    }
    // The line hands what the device sends to the port as it is sent.
    void AwaitTaken(std::chrono::milliseconds) override {}
    std::string DevicePath() const override { return memory_ports::PathOf(com_); }

  private:
    int com_;
    std::shared_ptr<MemoryLine> line_;
};

}  // namespace

std::unique_ptr<DeviceEnd> OpenMemoryEnd(int com, std::function<void()> wake) {
    return std::make_unique<MemoryEnd>(com, std::move(wake));
}
