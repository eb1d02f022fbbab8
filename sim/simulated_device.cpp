#include "sim/simulated_device.h"

#include <filesystem>
#include <optional>

#include "serial/memory_line.h"
#include "sim/device_end.h"

namespace {

constexpr int kBaud = 230400;
constexpr int kBitsPerByte = 10;
// How long an answer before a restart is given to be read by the program, and
// then to reach its requester.
constexpr std::chrono::milliseconds kRestartReadBound{1000};
constexpr std::chrono::milliseconds kRestartGrace{30};
constexpr std::chrono::milliseconds kControlWait{3000};
constexpr int kWriteTimeoutMs = 200;
// A pause sleeps until this long before its end and spins the rest: waking
// from a sleep takes tens of microseconds on a virtual machine, which would
// otherwise add to every exchange of wire-time emulation.
constexpr std::chrono::microseconds kSpinBelow{200};

std::size_t FrameLength(const std::vector<std::uint8_t>& packet) {
    FrameEncoder encoder;
    return encoder.Encode(packet.data(), packet.size());
}

TranscriptEntry EntryOf(const std::vector<std::uint8_t>& packet,
                        TranscriptEntry::Direction direction, std::uint64_t time) {
    TranscriptEntry entry;
    entry.timeMs = time;
    entry.direction = direction;
    entry.group = packet.size() > 4 ? packet[4] & 0x3F : 0;
    entry.code = packet.size() > 5 ? packet[5] & 0x3F : 0;
    if (packet.size() > 6) {
        entry.data.assign(packet.begin() + 6, packet.end());
    }
    return entry;
}

// Damages the checksum so that the requester's decoder drops the frame.
void CorruptChecksum(std::uint8_t* frame, std::size_t length) {
    std::uint8_t& byte = frame[length - 2];
    std::uint8_t damaged = byte ^ 0x01;
    if (damaged == frame::kDelimiter || damaged == frame::kEscape) {
        damaged = byte ^ 0x02;
    }
    byte = damaged;
}

}  // namespace

std::chrono::microseconds WireTime(std::size_t bytes) {
    return std::chrono::microseconds(static_cast<long long>(bytes) * kBitsPerByte * 1000000 /
                                     kBaud);
}

SimulatedDevice::SimulatedDevice(const SimOptions& options, SimClock clock)
    : options_(ResolveDefaults(options)),
      clock_(clock ? std::move(clock) : SteadySimClock()),
      startMs_(clock_()),
      model_(std::make_unique<DeviceModel>(options_, clock_)),
      faults_(options_.faults),
      transcript_(options_.transcriptPath),
      wireTime_(options_.wireTime) {
    worker_ = std::thread([this] { Run(); });
}

SimulatedDevice::~SimulatedDevice() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.Wake();
    worker_.join();
}

std::uint64_t SimulatedDevice::SinceStart() const {
    return clock_() - startMs_;
}

bool SimulatedDevice::PlugIn(const std::string& portDir, int com) {
    std::unique_lock<std::mutex> lock(mutex_);
    const int countBefore = plugCount_;
    portDir_ = portDir;
    com_ = com;
    wantPlugged_ = true;
    plugAt_ = std::chrono::steady_clock::now();
    lastError_.clear();
    lock.unlock();
    wake_.Wake();
    lock.lock();
    changed_.wait_for(lock, kControlWait,
                      [&] { return plugCount_ != countBefore || !lastError_.empty(); });
    return plugged_ && lastError_.empty();
}

void SimulatedDevice::PlugInAfter(const std::string& portDir, int com, Duration delay) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        portDir_ = portDir;
        com_ = com;
        wantPlugged_ = true;
        plugAt_ = std::chrono::steady_clock::now() + delay;
    }
    wake_.Wake();
}

void SimulatedDevice::Unplug() {
    std::unique_lock<std::mutex> lock(mutex_);
    wantPlugged_ = false;
    lock.unlock();
    wake_.Wake();
    lock.lock();
    changed_.wait_for(lock, kControlWait, [&] { return !plugged_; });
}

bool SimulatedDevice::IsPluggedIn() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return plugged_;
}

bool SimulatedDevice::WaitUntilPlugged(Duration timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return plugged_; });
}

bool SimulatedDevice::WaitUntilUnplugged(Duration timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return !plugged_; });
}

bool SimulatedDevice::WaitForAppearance(int count, Duration timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return plugged_ && plugCount_ >= count; });
}

int SimulatedDevice::PlugCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return plugCount_;
}

std::string SimulatedDevice::PortPath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (portDir_.empty()) {
        return memory_ports::PathOf(com_);
    }
    return (std::filesystem::path(portDir_) / ("COM" + std::to_string(com_))).string();
}

std::string SimulatedDevice::DevicePath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return devicePath_;
}

std::string SimulatedDevice::LastError() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastError_;
}

void SimulatedDevice::SetFaults(std::vector<FaultRule> rules) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.SetRules(std::move(rules));
}

void SimulatedDevice::SetWireTime(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    wireTime_ = on;
}

std::chrono::microseconds SimulatedDevice::WireTimeSpent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return wireTimeSpent_;
}

std::vector<TranscriptEntry> SimulatedDevice::TranscriptEntries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return transcript_.Entries();
}

std::vector<TranscriptEntry> SimulatedDevice::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return transcript_.Requests();
}

std::size_t SimulatedDevice::CountRequests(int group, int code) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return transcript_.CountRequests(group, code);
}

bool SimulatedDevice::WaitForRequests(int group, int code, std::size_t count,
                                      Duration timeout) const {
    return WaitForEntries(TranscriptEntry::Direction::Request, group, code, count, timeout);
}

bool SimulatedDevice::WaitForAnswers(int group, int code, std::size_t count,
                                     Duration timeout) const {
    return WaitForEntries(TranscriptEntry::Direction::Answer, group, code, count, timeout);
}

bool SimulatedDevice::WaitForEntries(TranscriptEntry::Direction direction, int group, int code,
                                     std::size_t count, Duration timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout,
                             [&] { return transcript_.Count(direction, group, code) >= count; });
}

void SimulatedDevice::ClearTranscript() {
    std::lock_guard<std::mutex> lock(mutex_);
    transcript_.Clear();
}

void SimulatedDevice::ClosePort(std::unique_ptr<DeviceEnd>& port) {
    port.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    plugged_ = false;
    silent_ = false;
    devicePath_.clear();
    changed_.notify_all();
}

// Plugs the device end in or out as the control state asks.
void SimulatedDevice::UpdatePlugState(std::unique_ptr<DeviceEnd>& port) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (port && !wantPlugged_) {
        lock.unlock();
        ClosePort(port);
        return;
    }
    if (port || !wantPlugged_ || std::chrono::steady_clock::now() < plugAt_) {
        return;
    }
    const std::string portDir = portDir_;
    const int com = com_;
    lock.unlock();
    std::string error;
    auto opened = OpenDeviceEnd(
        portDir, com, [this] { wake_.Wake(); }, error);
    lock.lock();
    if (!opened) {
        lastError_ = error;
        wantPlugged_ = false;
    } else {
        port = std::move(opened);
        plugged_ = true;
        ++plugCount_;
        devicePath_ = port->DevicePath();
    }
    changed_.notify_all();
}

bool SimulatedDevice::Silent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return silent_;
}

bool SimulatedDevice::EndSilence() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!silent_ || std::chrono::steady_clock::now() < silentUntil_) {
        return false;
    }
    silent_ = false;
    ++plugCount_;
    changed_.notify_all();
    return true;
}

void SimulatedDevice::Run() {
    std::unique_ptr<DeviceEnd> port;
    FrameDecoder decoder;
    for (;;) {
        UpdatePlugState(port);
        if (EndSilence()) {
            // What was heard of a frame before the restart is gone.
            decoder = FrameDecoder{};
        }
        std::optional<std::chrono::microseconds> timeout;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (quit_) {
                break;
            }
            const auto now = std::chrono::steady_clock::now();
            std::optional<SteadyTime> due;
            if (!port && wantPlugged_) {
                due = plugAt_;
            } else if (port && silent_) {
                due = silentUntil_;
            }
            if (due) {
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*due - now);
                timeout = std::chrono::milliseconds(std::max<long long>(0, wait.count()) + 1);
            }
        }
        const int handle = port ? port->WaitHandle() : -1;
        // A line in memory wakes the device itself: it is read after every wake.
        if ((wake_.Wait(handle, timeout) || handle < 0) && port) {
            ServeBytes(port, decoder);
        }
    }
    if (port) {
        ClosePort(port);
    }
}

void SimulatedDevice::ServeBytes(std::unique_ptr<DeviceEnd>& port, FrameDecoder& decoder) {
    // Until nothing waits: a line in memory wakes the device once for bytes
    // that may come while it pauses for an answer.
    std::uint8_t buffer[1024];
    for (std::size_t n; port && (n = port->Read(buffer, sizeof buffer)) > 0;) {
        // A device restarting in silence hears nothing.
        if (Silent()) {
            return;
        }
        // The wire time runs from the arrival, so that the device's own work
        // overlaps it as a real device's would.
        auto arrived = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < n && port; ++i) {
            if (decoder.Push(buffer[i])) {
                const std::vector<std::uint8_t> packet(decoder.Packet(),
                                                       decoder.Packet() + decoder.PacketLength());
                ServePacket(port, packet, arrived);
                if (Silent()) {
                    return;
                }
                arrived = std::chrono::steady_clock::now();
            }
        }
    }
}

bool SimulatedDevice::PauseUntil(SteadyTime until) {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (quit_ || !wantPlugged_) {
                return false;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return true;
        }
        if (left < kSpinBelow) {
            while (std::chrono::steady_clock::now() < until) {
            }
            return true;
        }
        wake_.Wait(-1, left - kSpinBelow);
    }
}

void SimulatedDevice::ServePacket(std::unique_ptr<DeviceEnd>& port,
                                  const std::vector<std::uint8_t>& packet, SteadyTime arrived) {
    std::optional<std::vector<std::uint8_t>> answer;
    std::optional<bool> restart;
    FaultDecision fault;
    bool wireTime = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        transcript_.Add(EntryOf(packet, TranscriptEntry::Direction::Request, SinceStart()));
        changed_.notify_all();
        fault = faults_.Decide(packet.size() > 4 ? packet[4] & 0x3F : -1,
                               packet.size() > 5 ? packet[5] & 0x3F : -1);
        if (fault.unplug) {
            wantPlugged_ = fault.replugMs > 0;
            plugAt_ = std::chrono::steady_clock::now() + Duration(fault.replugMs);
        } else {
            answer = model_->Handle(packet);
            restart = model_->TakeRestartRequest();
        }
        wireTime = wireTime_;
    }
    if (fault.unplug) {
        ClosePort(port);
        return;
    }
    if (answer && !fault.drop) {
        if (fault.wrongCode) {
            (*answer)[5] = static_cast<std::uint8_t>(((*answer)[5] + 1) & 0x3F);
        }
        FrameEncoder encoder;
        const std::size_t length = encoder.Encode(answer->data(), answer->size());
        std::vector<std::uint8_t> frameBytes(encoder.Data(), encoder.Data() + length);
        if (fault.corrupt && length >= 4) {
            CorruptChecksum(frameBytes.data(), frameBytes.size());
        }
        auto delay = std::chrono::duration_cast<std::chrono::microseconds>(Duration(fault.delayMs));
        if (wireTime) {
            const auto wire = WireTime(FrameLength(packet) + length);
            delay += wire;
            std::lock_guard<std::mutex> lock(mutex_);
            wireTimeSpent_ += wire;
        }
        if (delay.count() > 0 && !PauseUntil(arrived + delay)) {
            return;
        }
        if (port && port->WriteAll(frameBytes.data(), frameBytes.size(), kWriteTimeoutMs)) {
            std::lock_guard<std::mutex> lock(mutex_);
            transcript_.Add(EntryOf(*answer, TranscriptEntry::Direction::Answer, SinceStart()));
            changed_.notify_all();
        }
    }
    if (restart) {
        if (port) {
            port->AwaitTaken(kRestartReadBound);
        }
        std::this_thread::sleep_for(kRestartGrace);
        const bool replug = options_.profile.restart == RestartLook::Replug;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            model_->Restart(*restart);
            const auto back = std::chrono::steady_clock::now() + Duration(options_.restartDelayMs);
            if (replug) {
                wantPlugged_ = true;
                plugAt_ = back;
            } else {
                silent_ = true;
                silentUntil_ = back;
            }
        }
        if (replug) {
            ClosePort(port);
        }
    }
}

std::unique_ptr<SimulatedDevice> StartSimulatedDevice(const SimOptions& options,
                                                      const std::string& portDir, int com) {
    auto device = std::make_unique<SimulatedDevice>(options);
    device->PlugInAfter(portDir, com, std::chrono::milliseconds(options.plugInDelayMs));
    return device;
}
