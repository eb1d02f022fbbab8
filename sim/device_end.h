#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The simulated device's end of its line, where it reads requests and writes
// answers: a pseudo-terminal plugged in as a port folder's COM<n> (Linux), or
// a line in memory plugged in as COM<n> of this very process (serial/memory_line.h).
// Destroying it unplugs the device.
class DeviceEnd {
  public:
    virtual ~DeviceEnd() = default;
    // A descriptor that becomes readable when requests come; -1 when the
    // line calls the wake function given at open instead.
    virtual int WaitHandle() const = 0;
    // Takes what waits, without waiting.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t count) = 0;
    // Writes everything, waiting at most `timeoutMs` for room.
    virtual bool WriteAll(const std::uint8_t* data, std::size_t length, int timeoutMs) = 0;
    // Returns once the program's end has taken in all that was written, or
    // after `bound`: a restart closes the line, and what the program had not
    // read by then is lost.
    virtual void AwaitTaken(std::chrono::milliseconds bound) = 0;
    // What the program opens: a pseudo-terminal's path or "memory:COM<n>".
    virtual std::string DevicePath() const = 0;
};

// Plugs in a device end as `portDir`/COM<com>, or with an empty `portDir` as
// COM<com> of this process; `wake` is called when a line in memory receives.
// Null, with `error` set, when that failed; Windows has lines in memory only.
std::unique_ptr<DeviceEnd> OpenDeviceEnd(const std::string& portDir, int com,
                                         std::function<void()> wake, std::string& error);

// The line in memory, for both systems.
std::unique_ptr<DeviceEnd> OpenMemoryEnd(int com, std::function<void()> wake);
