// Every device answer the command set checks: the link and command set over
// a port on a line in memory, with a peer that answers each request from the input,
// synchronously from the link's clock (silence, stray bytes, an answer of any
// length, or one that starts with the request's own address echo). Commands
// run in the order the input picks. What a command accepts must fit what it
// asked for, and an identified device is one of the supported models.

#include <array>
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "protocol/commands.h"
#include "protocol/device_link.h"
#include "protocol/device_models.h"
#include "protocol/frame.h"
#include "protocol/identification.h"
#include "protocol/link_port.h"
#include "serial/memory_line.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The device end of an in-memory line, answering each request as the fuzzer's
// input says: not at all, with raw bytes, or with a framed answer.
class FuzzedDevice {
  public:
    FuzzedDevice()
        : link_(
              port_, [this] { return Clock(); }, nullptr, &dialogs_),
          commands_(link_, &log_) {
        link_.SetClockLook(std::chrono::milliseconds(0));
        memory_ports::Plug(kCom, line_);
        port_.SetPortNumber(kCom);
        port_.Attach(&link_);
        if (!port_.OpenPort(ComPort::kDefaultBaud)) {
            std::abort();
        }
    }

    DeviceCommands& Start(FuzzedDataProvider& input) {
        input_ = &input;
        return commands_;
    }
    // Each input ends with what it logged and what the commands cached gone,
    // so that its allocations are its own and nothing looks leaked.
    void Finish() {
        input_ = nullptr;
        log_.Clear();
        commands_.ForgetDeviceData();
    }
    AppLog& Log() { return log_; }

  private:
    // Every reading of the clock first answers what the program sent; time
    // then moves past an answer timeout, so a silent request fails at once.
    std::uint32_t Clock() {
        for (std::uint8_t byte; line_->DeviceRead(&byte, 1) == 1;) {
            if (requests_.Push(byte)) {
                Answer(Bytes(requests_.Packet(), requests_.Packet() + requests_.PacketLength()));
            }
        }
        now_ += DeviceLink::kAnswerTimeoutMs + 1;
        return now_;
    }

    void Answer(const Bytes& request) {
        if (input_ == nullptr || input_->remaining_bytes() == 0 || request.size() < 6) {
            return;
        }
        const int kind = input_->ConsumeIntegralInRange(0, 3);
        const Bytes data =
            input_->ConsumeBytes<std::uint8_t>(input_->ConsumeIntegralInRange(0, 40));
        if (kind == 0) {
            return;
        }
        if (kind == 1) {
            Deliver(data.data(), data.size());
            return;
        }
        Bytes packet = {0x00, static_cast<std::uint8_t>(request[3] & 0x1F), 0x00,
                        0x01, static_cast<std::uint8_t>(request[4] | 0x40), request[5]};
        if (kind == 3) {
            const std::size_t echo = std::min<std::size_t>(request.size() - 6, 5);
            packet.insert(packet.end(), request.begin() + 6, request.begin() + 6 + echo);
        }
        packet.insert(packet.end(), data.begin(), data.end());
        FrameEncoder encoder;
        const std::size_t length = encoder.Encode(packet.data(), packet.size());
        const std::uint8_t start = frame::kDelimiter;
        Deliver(&start, 1);
        Deliver(encoder.Data(), length);
    }

    // The port's handler runs at once, on this thread.
    void Deliver(const std::uint8_t* bytes, std::size_t count) { line_->DeviceSend(bytes, count); }

    static constexpr int kCom = 1;

    FrameDecoder requests_;
    std::uint32_t now_ = 0xFFFFF000;
    FuzzedDataProvider* input_ = nullptr;
    SilentDialogs dialogs_;
    AppLog log_;
    std::shared_ptr<MemoryLine> line_ = std::make_shared<MemoryLine>();
    LinkPort port_{PortTableConfig{.portDir = {}, .systemPorts = false}};
    DeviceLink link_;
    DeviceCommands commands_;
};

void CheckIdentified(const DeviceInfo& info) {
    if (!info.valid) {
        return;
    }
    const BoardInfo& board = info.board;
    const bool k310 = board.boardCode == 310 && (board.revision == 41 || board.revision == 42);
    const bool k520 = board.boardCode == 520 && (board.revision == 2 || board.revision == 3) &&
                      board.variant == 1;
    FUZZ_CHECK(k310 || k520);
    FUZZ_CHECK(info.modelName == ModelName(board));
    FUZZ_CHECK(SerialNumberText(info.inf1).size() == 9);
}

void RunCommand(DeviceCommands& commands, AppLog& log, FuzzedDataProvider& input) {
    constexpr std::uint8_t kUntouched = 0xA5;
    std::array<std::uint8_t, 256> buffer;
    buffer.fill(kUntouched);
    switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0: {
            DeviceInfo info;
            Identify(commands, log, info);
            CheckIdentified(info);
            break;
        }
        case 1:
            commands.ReadSoftInfo(nullptr, input.ConsumeBool());
            break;
        case 2:
            commands.ReadBoardInfo(nullptr, input.ConsumeBool());
            break;
        case 3: {
            DeviceTimeRecord time;
            commands.TimeRead(time);
            break;
        }
        case 4: {
            std::uint32_t value = 0;
            commands.ReadParameter(input.ConsumeIntegral<std::uint16_t>(), value);
            break;
        }
        case 5:
            commands.WriteParameter(input.ConsumeIntegral<std::uint16_t>(),
                                    input.ConsumeIntegral<std::uint32_t>());
            break;
        case 6: {
            const int length = input.ConsumeIntegralInRange(0, 255);
            const int read = commands.EflRead(input.ConsumeIntegral<std::uint32_t>(), buffer.data(),
                                              length, input.ConsumeBool());
            // A flash read is whole or failed; a failed one may have filled part of the buffer.
            FUZZ_CHECK(read == -1 || read == length);
            FUZZ_CHECK(buffer[static_cast<std::size_t>(length)] == kUntouched);
            break;
        }
        case 7: {
            const int length = input.ConsumeIntegralInRange(0, 64);
            const int read = commands.MemRead(input.ConsumeIntegral<std::uint32_t>(), buffer.data(),
                                              length, input.ConsumeBool());
            FUZZ_CHECK(read == -1 || read == length);
            FUZZ_CHECK(buffer[static_cast<std::size_t>(length)] == kUntouched);
            break;
        }
        case 8: {
            const Bytes echo =
                input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(1, 20));
            const int result = commands.Test(echo.data(), static_cast<int>(echo.size()), false);
            FUZZ_CHECK(result >= -1 && result <= 1);
            break;
        }
        default:
            commands.ReadUniqueId();
            commands.ReadInf1Block();
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzedDevice device;
    FuzzedDataProvider input(data, size);
    DeviceCommands& commands = device.Start(input);
    while (input.remaining_bytes() > 0) {
        RunCommand(commands, device.Log(), input);
    }
    device.Finish();
    return 0;
}
