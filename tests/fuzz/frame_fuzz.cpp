// The frame decoder fed the received stream in pieces of any size: a packet
// it completes is never longer than its buffer and is exactly a packet that,
// framed again, decodes to itself. A packet taken from the input is framed
// and put at the end of the stream after one more delimiter: whatever came
// before, it must come out whole.

#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "protocol/frame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Decoded(const std::uint8_t* frame, std::size_t length) {
    FrameDecoder decoder;
    Bytes packet;
    for (std::size_t i = 0; i < length; ++i) {
        if (decoder.Push(frame[i])) {
            packet.assign(decoder.Packet(), decoder.Packet() + decoder.PacketLength());
        }
    }
    return packet;
}

// An empty vector may have no storage; the encoder takes a null packet as missing.
const std::uint8_t* Start(const Bytes& packet) {
    static const std::uint8_t none = 0;
    return packet.empty() ? &none : packet.data();
}

void CheckRoundTrip(const Bytes& packet) {
    FrameEncoder encoder;
    const std::size_t length = encoder.Encode(Start(packet), packet.size());
    if (length == 0) {
        // Only a packet whose escaped frame would overflow the buffer is refused.
        FUZZ_CHECK(packet.size() + 2 > (FrameEncoder::kBufferSize - 3) / 2);
        return;
    }
    FUZZ_CHECK(length <= FrameEncoder::kBufferSize);
    const std::uint8_t* frame = encoder.Data();
    FUZZ_CHECK(frame[0] == frame::kDelimiter && frame[length - 1] == frame::kDelimiter);
    FUZZ_CHECK(std::memchr(frame + 1, frame::kDelimiter, length - 2) == nullptr);
    if (packet.size() >= 1 && packet.size() + 2 < FrameDecoder::kBufferSize) {
        FUZZ_CHECK(Decoded(frame, length) == packet);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Bytes own = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 300));
    CheckRoundTrip(own);

    FrameDecoder decoder;
    Bytes stream = input.ConsumeRemainingBytes<std::uint8_t>();
    FrameEncoder encoder;
    if (const std::size_t length = encoder.Encode(Start(own), own.size()); length != 0) {
        stream.push_back(frame::kDelimiter);
        stream.insert(stream.end(), encoder.Data(), encoder.Data() + length);
    }
    // Random piece sizes, as the port hands the bytes over.
    std::size_t position = 0;
    std::size_t piece = 1;
    bool ownSeen = false;
    while (position < stream.size()) {
        const std::size_t end = std::min(stream.size(), position + piece);
        for (; position < end; ++position) {
            if (decoder.Push(stream[position])) {
                FUZZ_CHECK(decoder.PacketLength() <= FrameDecoder::kBufferSize - 2);
                const Bytes packet(decoder.Packet(), decoder.Packet() + decoder.PacketLength());
                CheckRoundTrip(packet);
                ownSeen = ownSeen || packet == own;
            }
        }
        piece = 1 + stream[position - 1] % 64;
    }
    const bool fits = !own.empty() && own.size() + 2 < FrameDecoder::kBufferSize;
    FUZZ_CHECK(ownSeen || !fits || encoder.Encode(Start(own), own.size()) == 0);
    return 0;
}
