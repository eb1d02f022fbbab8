#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/frame.h"
#include "sim/device_model.h"
#include "sim/fault_injector.h"
#include "sim/sim_options.h"
#include "sim/transcript.h"
#include "sim/wake_signal.h"

class DeviceEnd;

// A whole simulated dosimeter in a background thread: the device model behind
// a pseudo-terminal that appears as `portDir`/COM<n> while plugged in, or,
// with an empty `portDir`, behind a line in memory that this process lists as
// its port COM<n> (serial/memory_line.h), which is how Windows gets one.
//
//   SimulatedDevice dev(options);
//   dev.PlugIn(portDir, 7);          // DIR/COM7 appears
//   ... talk to it ...
//   dev.WithModel([](DeviceModel& m) { return m.History().Count(); });
//   dev.Unplug();                    // DIR/COM7 goes
//
// A RESET restarts it as its profile's restart look says: it goes away and
// comes back after `restartDelayMs` on a new pseudo-terminal behind the same
// name, as a USB device re-enumerates; or its port stays and it hears and
// answers nothing for `restartDelayMs`. Either way its return counts as an
// appearance.
class SimulatedDevice {
  public:
    using Duration = std::chrono::milliseconds;

    explicit SimulatedDevice(const SimOptions& options, SimClock clock = {});
    ~SimulatedDevice();

    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    // Plugs in now and waits until the port entry exists; false (see
    // LastError) when the pseudo-terminal or the link could not be made.
    bool PlugIn(const std::string& portDir, int com);
    // Plugs in after `delay` without waiting.
    void PlugInAfter(const std::string& portDir, int com, Duration delay);
    // Removes the port entry and hangs up; waits until it is done.
    void Unplug();

    bool IsPluggedIn() const;
    bool WaitUntilPlugged(Duration timeout) const;
    bool WaitUntilUnplugged(Duration timeout) const;
    // How often the device appeared so far: each plug-in, and each return
    // from a restart, re-plugged or silent.
    int PlugCount() const;
    // Waits until the device has appeared `count` times and is plugged in and
    // answering: the safe way to wait for a restart, however quick and
    // whichever its look.
    bool WaitForAppearance(int count, Duration timeout) const;

    std::string PortPath() const;    // DIR/COM<n>, or memory:COM<n>
    std::string DevicePath() const;  // the current /dev/pts/<k>, empty while away
    std::string LastError() const;

    // Runs `f` on the model under the device's lock.
    template <typename F>
    auto WithModel(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(*model_);
    }

    void SetFaults(std::vector<FaultRule> rules);
    void SetWireTime(bool on);
    // The answer delay wire-time emulation has added so far.
    std::chrono::microseconds WireTimeSpent() const;

    std::vector<TranscriptEntry> TranscriptEntries() const;
    std::vector<TranscriptEntry> Requests() const;
    std::size_t CountRequests(int group, int code) const;
    // Waits until at least `count` such requests have reached the device: a
    // request sent while the device is still busy with an earlier one is read
    // only when that one is done.
    bool WaitForRequests(int group, int code, std::size_t count, Duration timeout) const;
    // Waits until the answers of that group and code that went out number `count`.
    bool WaitForAnswers(int group, int code, std::size_t count, Duration timeout) const;
    void ClearTranscript();

  private:
    using SteadyTime = std::chrono::steady_clock::time_point;

    void Run();
    bool WaitForEntries(TranscriptEntry::Direction direction, int group, int code,
                        std::size_t count, Duration timeout) const;
    void UpdatePlugState(std::unique_ptr<DeviceEnd>& port);
    void ServeBytes(std::unique_ptr<DeviceEnd>& port, FrameDecoder& decoder);
    // Ends a silent restart that is due: true when the device answers again.
    bool EndSilence();
    bool Silent() const;
    void ServePacket(std::unique_ptr<DeviceEnd>& port, const std::vector<std::uint8_t>& packet,
                     SteadyTime arrived);
    // False when the device was unplugged or stopped meanwhile.
    bool PauseUntil(SteadyTime until);
    void ClosePort(std::unique_ptr<DeviceEnd>& port);
    std::uint64_t SinceStart() const;

    SimOptions options_;
    SimClock clock_;
    std::uint64_t startMs_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::unique_ptr<DeviceModel> model_;
    FaultInjector faults_;
    Transcript transcript_;
    bool wireTime_;
    std::chrono::microseconds wireTimeSpent_{0};  // under mutex_

    // Control, under mutex_.
    bool quit_ = false;
    bool wantPlugged_ = false;
    SteadyTime plugAt_{};
    std::string portDir_;
    int com_ = 0;
    // State, under mutex_.
    bool plugged_ = false;
    int plugCount_ = 0;
    // Restarting on the same port: nothing is heard until `silentUntil_`.
    bool silent_ = false;
    SteadyTime silentUntil_{};
    std::string devicePath_;
    std::string lastError_;

    WakeSignal wake_;
    std::thread worker_;
};

// Starts a simulated device that plugs itself into `portDir`/COM<com> after
// `options.plugInDelayMs`, as the demo and the integration tests want it.
std::unique_ptr<SimulatedDevice> StartSimulatedDevice(const SimOptions& options,
                                                      const std::string& portDir, int com);

// The time 230400 baud 8N1 takes for `bytes` bytes (10 bits each).
std::chrono::microseconds WireTime(std::size_t bytes);
