#include <gtest/gtest.h>

#include <vector>

#include "protocol/frame.h"

namespace {

std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& packet) {
    FrameEncoder encoder;
    const std::size_t length = encoder.Encode(packet.data(), packet.size());
    return {encoder.Data(), encoder.Data() + length};
}

TEST(FrameEncoder, MatchesTheWorkedExamples) {
    EXPECT_EQ(Encode({0x00, 0x01, 0x00, 0x01, 0x01, 0x01}),
              (std::vector<std::uint8_t>{0xC0, 0x00, 0x01, 0x00, 0x01, 0x01, 0x01, 0x25, 0x02, 0xC0}));
    EXPECT_EQ(Encode({0x00, 0x01, 0x00, 0x01, 0x01, 0x0A}),
              (std::vector<std::uint8_t>{0xC0, 0x00, 0x01, 0x00, 0x01, 0x01, 0x0A, 0x1A, 0x02, 0xC0}));
    EXPECT_EQ(Encode({0x00, 0x01, 0x00, 0x02, 0x02, 0x05, 0x00, 0x10, 0x00, 0x00}),
              (std::vector<std::uint8_t>{0xC0, 0x00, 0x01, 0x00, 0x02, 0x02, 0x05, 0x00, 0x10, 0x00,
                                         0x00, 0x7F, 0x03, 0xC0}));
}

TEST(FrameDecoder, RestoresAnEncodedPacketWithEscapes) {
    const std::vector<std::uint8_t> packet{0x00, 0x01, 0x00, 0x01, 0x41, 0x00, 0xC0, 0xDB, 0xC0};
    FrameDecoder decoder;
    int completed = 0;
    for (std::uint8_t byte : Encode(packet)) {
        if (decoder.Push(byte)) {
            ++completed;
            EXPECT_EQ(std::vector<std::uint8_t>(decoder.Packet(),
                                                decoder.Packet() + decoder.PacketLength()),
                      packet);
        }
    }
    EXPECT_EQ(completed, 1);
}

}  // namespace
