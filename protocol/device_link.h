#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "base/operation_outcome.h"
#include "base/stop_signal.h"
#include "base/tick_clock.h"
#include "protocol/channel_registry.h"
#include "protocol/frame.h"
#include "serial/com_port.h"

// The transport over one ComPort: frames requests onto the port, decodes the
// received stream into packets for the three channels, and waits for answers.
class DeviceLink {
  public:
    static constexpr int kMainAddress = 1;  // general commands
    static constexpr int kEflAddress = 2;   // external flash
    static constexpr int kCpuAddress = 3;   // CPU flash
    static constexpr std::uint32_t kAnswerTimeoutMs = 700;
    static constexpr int kSendsWithRetry = 3;
    static constexpr std::size_t kWritePiece = 64;
    static constexpr std::size_t kReadLimit = 1000;
    static constexpr const char* kDefaultErrorMarker = "*";
    static constexpr const char* kDefaultErrorText = "No answer from device";

    // `stop` may be null (nothing stops the waits early); `dialogs` may be
    // null (failures then show nothing).
    DeviceLink(ComPort& port, TickClock clock, StopSignal* stop, Dialogs* dialogs);
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    LinkChannel* Main() { return main_; }
    LinkChannel* Efl() { return efl_; }
    LinkChannel* Cpu() { return cpu_; }
    ChannelRegistry& Registry() { return registry_; }
    ComPort& Port() { return port_; }

    // The receive handler: runs on the port's reader thread.
    void OnDataReceived(std::size_t count);
    // Decodes received bytes and dispatches each completed packet.
    void Receive(const std::uint8_t* bytes, std::size_t count);
    // Releases a blocked wait so that it sees a stop or a lost port at once.
    void WakeWaiters();

    // While alive, exchanges go out although a stop was requested, with one
    // send each: the exchange that tidies up in the device (the end of the
    // history access) is owed even by a program that is closing. Use it on
    // the thread that runs the exchanges.
    class Finishing {
      public:
        explicit Finishing(DeviceLink& link) : link_(link) { link_.finishing_ = true; }
        ~Finishing() { link_.finishing_ = false; }
        Finishing(const Finishing&) = delete;
        Finishing& operator=(const Finishing&) = delete;

      private:
        DeviceLink& link_;
    };

    // Why the last Transact failed: NoAnswer, PortLost or Stopped; Completed
    // after a success or before the first exchange.
    OutcomeKind LastFailure() const { return lastFailure_; }
    // What an operation that gave up after a failed or refused exchange tells:
    // the link's reason, or BadAnswer when the exchange itself went through.
    OperationOutcome FailureOutcome(std::string text) const;

    // A wait blocks on the answer queue at most this long before it reads the
    // clock again (a test's fake clock moves without waking anybody).
    void SetClockLook(std::chrono::milliseconds look) { clockLook_ = look; }
    // Hears a line for every request sent again for want of an answer.
    void SetRetryLog(LogSink sink) { retryLog_ = std::move(sink); }

    // Frames the request (destination word, source flags, channel address,
    // payload) and writes it in pieces of at most 64 bytes. False when the
    // payload is shorter than 2 bytes, the frame does not fit or a write falls short.
    bool Send(LinkChannel& channel, const std::uint8_t* payload, std::size_t length);

    // Sends the payload and waits for the answer with the same group and code
    // (bit 6 of the group set): 700 ms per send, three sends when `retry`. On
    // true the channel's current answer holds it. On failure `errorText` is shown
    // in an error box ("*" stands for the default text, empty shows nothing).
    // Fails at once, without sending again, when the port is closed, reopened
    // or its device vanished during the wait, and also without a box when the
    // program was asked to stop. `echo`: how many bytes of the request's data
    // (after group and code) the answer's data repeats at its start, 0 for none;
    // it tells a late answer to an earlier request with the same code from the
    // answer to this one.
    bool Transact(LinkChannel* channel, const std::uint8_t* payload, std::size_t length, bool retry,
                  std::string_view errorText, std::size_t echo = 0);

  private:
    enum class FrontCheck { Empty, Matched, Discarded };
    // How a late answer to the last retried exchange could meet this request:
    // not at all (another channel or code, or none can come any more), told
    // apart by its echo, as an answer to the very same request, or only by
    // waiting until it came or cannot come any more.
    enum class StrayRisk { None, Echo, SameRequest, Wait };

    // Answers to earlier sends of the last exchange that went out more than
    // once may still come: with no sequence numbers they would pass for the
    // answer to a new request with the same code. They are expected for at
    // most one answer timeout after the exchange's last send.
    struct Strays {
        LinkChannel* channel = nullptr;
        int count = 0;
        std::uint32_t lastSend = 0;
        std::array<std::uint8_t, FrameEncoder::kBufferSize> payload{};
        std::size_t length = 0;
    };

    // `echo` > 0: a front packet with the right code whose data does not
    // repeat the request's first `echo` data bytes is a late answer, dropped.
    FrontCheck CheckFront(LinkChannel& channel, const std::uint8_t* payload, std::size_t echo);
    StrayRisk RiskOfStrays(const LinkChannel& channel, const std::uint8_t* payload,
                           std::size_t length, std::size_t echo) const;
    void NoteStrays(LinkChannel& channel, const std::uint8_t* payload, std::size_t length,
                    int strays, std::uint32_t lastSend);
    void Fail(std::string_view errorText);
    bool StopRequested() const;
    // The port the wait started on is no longer there to answer.
    bool PortLost(std::uint32_t openCount) const;
    // Drops the late answers as they come, until none can come any more.
    void DropStrayAnswers(std::uint32_t openCount);

    ComPort& port_;
    TickClock clock_;
    StopSignal* stop_;
    Dialogs* dialogs_;
    std::chrono::milliseconds clockLook_{50};
    LogSink retryLog_;
    bool finishing_ = false;
    OutcomeKind lastFailure_ = OutcomeKind::Completed;
    Strays strays_;

    ChannelRegistry registry_;
    LinkChannel* main_;
    LinkChannel* efl_;
    LinkChannel* cpu_;

    FrameEncoder encoder_;
    std::array<std::uint8_t, FrameEncoder::kBufferSize> packet_{};
    // Reader thread only.
    FrameDecoder decoder_;
    std::array<std::uint8_t, kReadLimit> received_{};
    StopWaker stopWaker_;
};
