#include "protocol/device_link.h"

#include <algorithm>

#include "protocol/request_text.h"

namespace {
constexpr std::uint8_t kAnswerBit = 0x40;
constexpr std::uint8_t kCodeMask = 0x3F;
constexpr std::uint8_t kAddressMask = 0x1F;
constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kMinimumPayload = 2;
constexpr std::size_t kAnswerDataOffset = 6;
}  // namespace

DeviceLink::DeviceLink(ComPort& port, TickClock clock, StopSignal* stop, Dialogs* dialogs)
    : port_(port),
      clock_(std::move(clock)),
      stop_(stop),
      dialogs_(dialogs),
      main_(&registry_.Create(kMainAddress)),
      efl_(&registry_.Create(kEflAddress)),
      cpu_(&registry_.Create(kCpuAddress)),
      stopWaker_(stop, [this] { WakeWaiters(); }) {}

void DeviceLink::WakeWaiters() {
    for (LinkChannel* channel : {main_, efl_, cpu_}) {
        channel->Queue().Interrupt();
    }
}

void DeviceLink::OnDataReceived(std::size_t count) {
    const std::size_t got = port_.ReadBytes(received_.data(), std::min(count, kReadLimit));
    Receive(received_.data(), got);
}

void DeviceLink::Receive(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (decoder_.Push(bytes[i])) {
            registry_.Dispatch(decoder_.Packet(), decoder_.PacketLength());
        }
    }
}

bool DeviceLink::Send(LinkChannel& channel, const std::uint8_t* payload, std::size_t length) {
    if (payload == nullptr || length < kMinimumPayload || length > packet_.size() - kHeaderSize) {
        return false;
    }
    const auto destination = channel.DestinationWord();
    packet_[0] = destination[0];
    packet_[1] = destination[1];
    packet_[2] = 0x00;
    packet_[3] = static_cast<std::uint8_t>(channel.Address() & kAddressMask);
    std::copy(payload, payload + length, packet_.begin() + kHeaderSize);
    const std::size_t frameLength = encoder_.Encode(packet_.data(), kHeaderSize + length);
    if (frameLength == 0) {
        return false;
    }
    for (std::size_t offset = 0; offset < frameLength; offset += kWritePiece) {
        const std::size_t piece = std::min(kWritePiece, frameLength - offset);
        if (port_.WriteBytes(encoder_.Data() + offset, piece) != piece) {
            return false;
        }
    }
    return true;
}

DeviceLink::FrontCheck DeviceLink::CheckFront(LinkChannel& channel, const std::uint8_t* payload,
                                              std::size_t echo) {
    std::array<std::uint8_t, AnswerQueue::kEntryCapacity> front;
    std::lock_guard<std::mutex> guard(registry_.Lock());
    const std::size_t length = channel.Queue().CopyFront(front.data());
    if (length == 0) {
        return FrontCheck::Empty;
    }
    // Dispatch only queues packets of at least 6 bytes, so group and code exist.
    const bool matches = (front[4] & kAnswerBit) != 0 &&
                         (front[4] & kCodeMask) == (payload[0] & kCodeMask) &&
                         (front[5] & kCodeMask) == (payload[1] & kCodeMask);
    channel.Queue().RemoveFront();
    if (!matches) {
        return FrontCheck::Discarded;
    }
    const bool echoed = length >= kAnswerDataOffset + echo &&
                        std::equal(payload + kMinimumPayload, payload + kMinimumPayload + echo,
                                   front.begin() + kAnswerDataOffset);
    if (!echoed) {
        return FrontCheck::Discarded;
    }
    channel.SetAnswer(front.data(), length);
    return FrontCheck::Matched;
}

DeviceLink::StrayRisk DeviceLink::RiskOfStrays(const LinkChannel& channel,
                                               const std::uint8_t* payload, std::size_t length,
                                               std::size_t echo) const {
    const std::uint8_t* strayed = strays_.payload.data();
    if (strays_.count == 0 || strays_.channel != &channel ||
        TicksSince(strays_.lastSend, clock_()) > kAnswerTimeoutMs ||
        (strayed[0] & kCodeMask) != (payload[0] & kCodeMask) ||
        (strayed[1] & kCodeMask) != (payload[1] & kCodeMask)) {
        return StrayRisk::None;
    }
    const std::size_t echoEnd = kMinimumPayload + echo;
    if (echo > 0 && length >= echoEnd && strays_.length >= echoEnd &&
        !std::equal(payload + kMinimumPayload, payload + echoEnd, strayed + kMinimumPayload)) {
        return StrayRisk::Echo;
    }
    const bool same = length == strays_.length && std::equal(payload, payload + length, strayed);
    return same ? StrayRisk::SameRequest : StrayRisk::Wait;
}

void DeviceLink::NoteStrays(LinkChannel& channel, const std::uint8_t* payload, std::size_t length,
                            int strays, std::uint32_t lastSend) {
    strays_.count = strays;
    if (strays == 0) {
        return;
    }
    strays_.channel = &channel;
    strays_.lastSend = lastSend;
    strays_.length = std::min(length, strays_.payload.size());
    std::copy(payload, payload + strays_.length, strays_.payload.begin());
}

bool DeviceLink::Transact(LinkChannel* channel, const std::uint8_t* payload, std::size_t length,
                          bool retry, std::string_view errorText, std::size_t echo) {
    const std::uint32_t openCount = port_.OpenCount();
    lastFailure_ = StopRequested() ? OutcomeKind::Stopped : OutcomeKind::PortLost;
    if (channel == nullptr || payload == nullptr || length < kMinimumPayload || !port_.IsOpen() ||
        StopRequested()) {
        return false;
    }
    const StrayRisk risk = RiskOfStrays(*channel, payload, length, echo);
    if (risk == StrayRisk::Wait) {
        DropStrayAnswers(openCount);
    }
    // A late answer to the very same request answers this one as well; then
    // this request's own answer may come late in its turn.
    const int carried = risk == StrayRisk::SameRequest ? strays_.count : 0;
    strays_.count = 0;
    {
        // Answers that came late for earlier requests are not ours.
        std::lock_guard<std::mutex> guard(registry_.Lock());
        channel->Queue().Clear();
        channel->ClearAnswer();
    }
    // Late answers still to come are told apart by their echo.
    const std::size_t echoChecked = risk == StrayRisk::Echo ? echo : 0;
    const int sends = retry && !finishing_ ? kSendsWithRetry : 1;
    int attempts = 1;
    Send(*channel, payload, length);
    std::uint32_t start = clock_();
    for (;;) {
        if (CheckFront(*channel, payload, echoChecked) == FrontCheck::Matched) {
            NoteStrays(*channel, payload, length, carried + attempts - 1, start);
            lastFailure_ = OutcomeKind::Completed;
            return true;
        }
        if (StopRequested()) {
            lastFailure_ = OutcomeKind::Stopped;
            return false;
        }
        if (PortLost(openCount)) {
            lastFailure_ = OutcomeKind::PortLost;
            Fail(errorText);
            return false;
        }
        const std::uint32_t now = clock_();
        if (TicksSince(start, now) > kAnswerTimeoutMs) {
            if (attempts >= sends) {
                lastFailure_ = OutcomeKind::NoAnswer;
                Fail(errorText);
                return false;
            }
            Send(*channel, payload, length);
            ++attempts;
            start = now;
            if (retryLog_) {
                retryLog_(RetryLine(payload, length, attempts, sends));
            }
        }
        // Blocks on the answer; a stop or a lost port wakes it at once.
        const std::uint32_t left =
            kAnswerTimeoutMs + 1 - std::min(TicksSince(start, now), kAnswerTimeoutMs);
        channel->Queue().WaitNotEmpty(std::min(clockLook_, std::chrono::milliseconds(left)));
    }
}

OperationOutcome DeviceLink::FailureOutcome(std::string text) const {
    const OutcomeKind kind =
        lastFailure_ == OutcomeKind::Completed ? OutcomeKind::BadAnswer : lastFailure_;
    return {kind, std::move(text)};
}

void DeviceLink::DropStrayAnswers(std::uint32_t openCount) {
    while (strays_.count > 0 && TicksSince(strays_.lastSend, clock_()) <= kAnswerTimeoutMs &&
           !StopRequested() && !PortLost(openCount)) {
        if (strays_.channel->Queue().WaitNotEmpty(clockLook_)) {
            std::lock_guard<std::mutex> guard(registry_.Lock());
            strays_.channel->Queue().RemoveFront();
            --strays_.count;
        }
    }
    strays_.count = 0;
}

bool DeviceLink::StopRequested() const {
    return !finishing_ && stop_ != nullptr && stop_->StopRequested();
}

bool DeviceLink::PortLost(std::uint32_t openCount) const {
    return !port_.IsOpen() || port_.DeviceVanished() || port_.OpenCount() != openCount;
}

void DeviceLink::Fail(std::string_view errorText) {
    const std::string_view text = errorText == kDefaultErrorMarker ? kDefaultErrorText : errorText;
    if (!text.empty() && dialogs_ != nullptr) {
        dialogs_->Error(std::string(text));
    }
}
