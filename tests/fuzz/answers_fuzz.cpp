// Every device answer the command set checks: the whole stack over a
// pseudo-terminal, with a peer that answers each request from the input,
// synchronously from the link's clock (silence, stray bytes, an answer of any
// length, or one that starts with the request's own address echo). Commands
// run in the order the input picks. What a command accepts must fit what it
// asked for, and an identified device is one of the supported models.

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "protocol/device_info_models.h"
#include "protocol/device_stack.h"
#include "protocol/frame.h"
#include "protocol/identification.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ScriptedDevice {
  public:
    ScriptedDevice() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            std::abort();
        }
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        DeviceStackOptions options;
        options.ports.systemPorts = false;
        options.ports.portDir.clear();
        options.clock = [this] { return Clock(); };
        options.dialogs = &dialogs_;
        options.log = &log_;
        stack_ = std::make_unique<DeviceStack>(std::move(options));
        stack_->Link().SetClockLook(std::chrono::milliseconds(0));
        if (!stack_->OpenPath(ptsname(master_), 1)) {
            std::abort();
        }
    }

    DeviceCommands& Start(FuzzedDataProvider& input) {
        input_ = &input;
        log_.Clear();
        stack_->Commands().ForgetDeviceData();
        return stack_->Commands();
    }
    AppLog& Log() { return log_; }

  private:
    // Every reading of the clock first answers what the program sent; time
    // then moves past an answer timeout, so a silent request fails at once.
    std::uint32_t Clock() {
        std::array<std::uint8_t, 1024> sent;
        for (ssize_t n; (n = read(master_, sent.data(), sent.size())) > 0;) {
            for (ssize_t i = 0; i < n; ++i) {
                if (requests_.Push(sent[static_cast<std::size_t>(i)])) {
                    Answer(
                        Bytes(requests_.Packet(), requests_.Packet() + requests_.PacketLength()));
                }
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
            stack_->Link().Receive(data.data(), data.size());
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
        stack_->Link().Receive(&start, 1);
        stack_->Link().Receive(encoder.Data(), length);
    }

    int master_ = -1;
    FrameDecoder requests_;
    std::uint32_t now_ = 0xFFFFF000;
    FuzzedDataProvider* input_ = nullptr;
    SilentDialogs dialogs_;
    AppLog log_;
    std::unique_ptr<DeviceStack> stack_;
};

void CheckIdentified(const DeviceInfo& info) {
    if (!info.valid) {
        return;
    }
    const BoardInfo& board = info.board;
    const bool k310 =
        board.boardCode == kBoardK310 && (board.revision == 41 || board.revision == 42);
    const bool k520 = board.boardCode == kBoardK520 &&
                      (board.revision == 2 || board.revision == 3) && board.variant == 1;
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
    static ScriptedDevice device;
    FuzzedDataProvider input(data, size);
    DeviceCommands& commands = device.Start(input);
    while (input.remaining_bytes() > 0) {
        RunCommand(commands, device.Log(), input);
    }
    return 0;
}
