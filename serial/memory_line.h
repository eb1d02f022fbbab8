#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A serial line inside the process: the program's port at one end, a
// simulated device at the other, with no system port between them. The
// device's sends reach the port as a reader thread's would: the sending
// thread calls the port's receive handler. A line plugged in as COM<n> is
// listed with the machine's ports, under the device path "memory:COM<n>",
// and a ComPort opens it like any other.
class MemoryLine {
  public:
    using Received = std::function<void(std::size_t waiting)>;

    // The device's end.
    // Called whenever the program wrote, on the program's thread and under the
    // line's lock: it may only signal.
    void SetDeviceWake(std::function<void()> wake);
    void DeviceSend(const std::uint8_t* data, std::size_t count);
    std::size_t DeviceRead(std::uint8_t* buffer, std::size_t count);
    std::size_t DeviceWaiting() const;
    // The device is gone: an attached port sees it vanish, and both ends
    // transfer nothing more.
    void HangUp();

    // The port's end. Bytes sent while no port is attached are lost, as on a
    // closed port. False when the line was hung up.
    bool Attach(Received received, std::function<void()> vanished);
    // Waits until a delivery under way has ended; none follows.
    void Detach();
    std::size_t PortRead(std::uint8_t* buffer, std::size_t count);
    std::size_t PortWrite(const std::uint8_t* data, std::size_t count);

  private:
    std::size_t PortWaiting() const;

    mutable std::mutex data_;
    std::deque<std::uint8_t> toPort_;
    std::deque<std::uint8_t> toDevice_;
    bool hungUp_ = false;
    std::function<void()> deviceWake_;
    // Held while the port's handlers run, so Detach can wait for them.
    std::mutex delivery_;
    Received received_;
    std::function<void()> vanished_;
};

// The lines plugged in as ports of this process.
namespace memory_ports {

// Plugs `line` in as COM<number>, replacing one plugged there before.
void Plug(int number, std::shared_ptr<MemoryLine> line);
void Unplug(int number);
// The numbers plugged in, ascending.
std::vector<int> Numbers();
std::string PathOf(int number);
// The line behind a device path, if it names one that is plugged in.
std::shared_ptr<MemoryLine> Find(const std::string& path);
bool NamesMemoryLine(const std::string& path);

}  // namespace memory_ports
