#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "protocol/frame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encode(const Bytes& packet) {
    FrameEncoder encoder;
    const std::size_t length = encoder.Encode(packet.data(), packet.size());
    return {encoder.Data(), encoder.Data() + length};
}

// Every packet completed while pushing `wire`.
std::vector<Bytes> DecodeAll(FrameDecoder& decoder, const Bytes& wire) {
    std::vector<Bytes> packets;
    for (std::uint8_t byte : wire) {
        if (decoder.Push(byte)) {
            packets.emplace_back(decoder.Packet(), decoder.Packet() + decoder.PacketLength());
        }
    }
    return packets;
}

std::vector<Bytes> DecodeAll(const Bytes& wire) {
    FrameDecoder decoder;
    return DecodeAll(decoder, wire);
}

TEST(FrameEncoder, MatchesTheWorkedExamples) {
    EXPECT_EQ(Encode({0x00, 0x01, 0x00, 0x01, 0x01, 0x01}),
              (Bytes{0xC0, 0x00, 0x01, 0x00, 0x01, 0x01, 0x01, 0x25, 0x02, 0xC0}));
    EXPECT_EQ(Encode({0x00, 0x01, 0x00, 0x01, 0x01, 0x0A}),
              (Bytes{0xC0, 0x00, 0x01, 0x00, 0x01, 0x01, 0x0A, 0x1A, 0x02, 0xC0}));
    EXPECT_EQ(Encode({0x00, 0x01, 0x00, 0x02, 0x02, 0x05, 0x00, 0x10, 0x00, 0x00}),
              (Bytes{0xC0, 0x00, 0x01, 0x00, 0x02, 0x02, 0x05, 0x00, 0x10, 0x00, 0x00, 0x7F, 0x03,
                     0xC0}));
}

TEST(FrameDecoder, RestoresAnEncodedPacketWithEscapes) {
    const Bytes packet{0x00, 0x01, 0x00, 0x01, 0x41, 0x00, 0xC0, 0xDB, 0xC0};
    EXPECT_EQ(DecodeAll(Encode(packet)), std::vector<Bytes>{packet});
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A packet whose checksum byte `index` (0 low, 1 high) equals `wanted`: each
// 0xA5 filler adds 256 to the sum, the last byte fine-tunes the low byte.
Bytes PacketWithChecksumByte(int index, std::uint8_t wanted) {
    for (std::size_t fillers = 0; fillers < 256; ++fillers) {
        for (unsigned last = 0; last < 256; ++last) {
            Bytes packet{0x00, 0x01, 0x00, 0x01, 0x41, 0x00};
            packet.insert(packet.end(), fillers, 0xA5);
            packet.push_back(static_cast<std::uint8_t>(last));
            const std::uint16_t sum = frame::Checksum(packet.data(), packet.size());
            if (static_cast<std::uint8_t>(index == 0 ? sum : sum >> 8) == wanted) {
                return packet;
            }
        }
    }
    return {};
}

TEST(FrameEncoder, EscapesChecksumBytesAndTheDecoderRestoresThem) {
    for (int index = 0; index < 2; ++index) {
        for (std::uint8_t special : {frame::kDelimiter, frame::kEscape}) {
            const Bytes packet = PacketWithChecksumByte(index, special);
            ASSERT_FALSE(packet.empty());
            const Bytes wire = Encode(packet);
            const Bytes escaped{frame::kEscape, special == frame::kDelimiter
                                                    ? frame::kEscapedDelimiter
                                                    : frame::kEscapedEscape};
            // The checksum is the last two or three bytes before the closing delimiter.
            const Bytes tail(wire.end() - 5, wire.end() - 1);
            EXPECT_NE(std::search(tail.begin(), tail.end(), escaped.begin(), escaped.end()),
                      tail.end())
                << "checksum byte " << index << " = " << int(special);
            EXPECT_EQ(std::count(wire.begin() + 1, wire.end() - 1, frame::kDelimiter), 0);
            EXPECT_EQ(DecodeAll(wire), std::vector<Bytes>{packet});
        }
    }
}

TEST(FrameEncoder, RefusesMissingAndOversizedPackets) {
    FrameEncoder encoder;
    EXPECT_EQ(encoder.Encode(nullptr, 6), 0u);
    // 545 plain bytes and the checksum fill the buffer exactly, one more does not fit.
    const Bytes fits(544, 0x11);
    EXPECT_GT(encoder.Encode(fits.data(), fits.size()), 0u);
    const Bytes tooLong(546, 0x11);
    EXPECT_EQ(encoder.Encode(tooLong.data(), tooLong.size()), 0u);
    // Escapes double the size: 300 delimiters cannot fit.
    const Bytes escapes(300, frame::kDelimiter);
    EXPECT_EQ(encoder.Encode(escapes.data(), escapes.size()), 0u);
}

TEST(FrameDecoder, HandlesDelimitersAtTheEdgesOfFrames) {
    const Bytes a{0x00, 0x01, 0x00, 0x01, 0x41, 0x01, 0x10};
    const Bytes b{0x00, 0x02, 0x00, 0x01, 0x42, 0x02};
    const Bytes frameA = Encode(a);
    const Bytes frameB = Encode(b);

    // Garbage before the first delimiter, and back-to-back frames.
    EXPECT_EQ(DecodeAll(Concat({{0x01, 0xDB, 0xDC, 0x55}, frameA, frameB})),
              (std::vector<Bytes>{a, b}));
    // Fewer than 3 bytes between delimiters: ignored, the closing 0xC0 opens a frame.
    EXPECT_EQ(DecodeAll(Concat({{0xC0, 0x12, 0x34}, Bytes(frameA.begin(), frameA.end())})),
              (std::vector<Bytes>{a}));
    // A wrong checksum is dropped and its closing delimiter starts the next frame,
    // which therefore needs no opening delimiter of its own.
    Bytes corrupted = frameA;
    corrupted[corrupted.size() - 2] ^= 0x01;
    EXPECT_EQ(DecodeAll(Concat({corrupted, Bytes(frameB.begin() + 1, frameB.end())})),
              (std::vector<Bytes>{b}));
}

TEST(FrameDecoder, DropsFramesWithBadEscapesOrTooManyBytes) {
    const Bytes good{0x00, 0x01, 0x00, 0x01, 0x41, 0x00};
    // An unknown escape drops the frame; bytes until the next 0xC0 are ignored.
    EXPECT_EQ(DecodeAll(Concat({{0xC0, 0x00, 0xDB, 0x01, 0x02, 0x03}, Encode(good)})),
              std::vector<Bytes>{good});
    // An escape followed by 0xC0 starts a new frame at once.
    const Bytes frame = Encode(good);
    EXPECT_EQ(DecodeAll(Concat({{0xC0, 0x00, 0x01, 0xDB}, Bytes(frame.begin(), frame.end())})),
              std::vector<Bytes>{good});
    // 254 stored bytes is the limit: a longer frame is dropped, a shorter one kept.
    const Bytes longest(251, 0x22);
    EXPECT_EQ(DecodeAll(Encode(longest)), std::vector<Bytes>{longest});
    const Bytes overlong(253, 0x22);
    EXPECT_TRUE(DecodeAll(Encode(overlong)).empty());
    EXPECT_EQ(DecodeAll(Concat({Encode(overlong), Encode(good)})), std::vector<Bytes>{good});
}

TEST(FrameDecoder, KeepsThePacketOnlyUntilTheNextByte) {
    FrameDecoder decoder;
    const Bytes packet{0x00, 0x01, 0x00, 0x01, 0x41, 0x00, 0x07};
    EXPECT_EQ(DecodeAll(decoder, Encode(packet)).size(), 1u);
    EXPECT_EQ(decoder.PacketLength(), packet.size());
    decoder.Push(0x33);
    EXPECT_EQ(decoder.PacketLength(), 0u);
}

// Random noise around valid frames never crashes the decoder and never loses a
// frame that follows a complete delimiter.
TEST(FrameDecoder, FindsEveryFrameThatFollowsADelimiterInRandomNoise) {
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(seed >> 24);
    };
    for (int round = 0; round < 500; ++round) {
        FrameDecoder decoder;
        std::vector<Bytes> expected;
        std::vector<Bytes> found;
        for (int piece = 0; piece < 8; ++piece) {
            Bytes noise(next() % 40);
            for (auto& byte : noise) {
                byte = next();
            }
            auto more = DecodeAll(decoder, noise);
            found.insert(found.end(), more.begin(), more.end());
            Bytes packet(6 + next() % 30);
            for (auto& byte : packet) {
                byte = next();
            }
            // A lone delimiter closes whatever the noise left open.
            more = DecodeAll(decoder, Concat({{frame::kDelimiter}, Encode(packet)}));
            found.insert(found.end(), more.begin(), more.end());
            expected.push_back(packet);
        }
        // Noise can complete stray packets of its own, but every real one must be there.
        std::size_t position = 0;
        for (const Bytes& packet : found) {
            if (position < expected.size() && packet == expected[position]) {
                ++position;
            }
        }
        EXPECT_EQ(position, expected.size()) << "round " << round;
    }
}

}  // namespace
