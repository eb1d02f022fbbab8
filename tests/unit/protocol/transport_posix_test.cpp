#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "protocol/answer_queue.h"
#include "protocol/channel_registry.h"
#include "unit/protocol/link_fixture.h"

namespace {

using link_testing::Bytes;
using link_testing::LinkFixture;
using testing_pty::AnswerPacket;
using testing_pty::Frame;

Bytes Packet(std::uint8_t address, std::uint8_t group, std::uint8_t code, const Bytes& data = {}) {
    Bytes packet{0x00, address, 0x00, 0x01, group, code};
    for (std::uint8_t byte : data) {
        packet.push_back(byte);
    }
    return packet;
}

TEST(AnswerQueue, RefusesToBeTooSmall) {
    try {
        AnswerQueue queue(2);
        FAIL() << "a queue of 2 entries was built";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "Слишком маленький буфер");
    }
    EXPECT_NO_THROW(AnswerQueue(3));
}

TEST(AnswerQueue, KeepsOrderAcrossTheRingAndDropsWhatDoesNotFit) {
    AnswerQueue queue;
    const Bytes empty;
    const Bytes biggest(999, 0x42);
    const Bytes tooBig(1000, 0x42);
    EXPECT_FALSE(queue.Append(biggest.data(), 0));
    EXPECT_FALSE(queue.Append(tooBig.data(), tooBig.size()));
    EXPECT_TRUE(queue.Append(biggest.data(), biggest.size()));
    queue.RemoveFront();

    for (std::uint8_t i = 0; i < 10; ++i) {
        const Bytes packet(6, i);
        EXPECT_TRUE(queue.Append(packet.data(), packet.size()));
    }
    const Bytes extra(6, 0xEE);
    EXPECT_FALSE(queue.Append(extra.data(), extra.size()));  // full
    EXPECT_TRUE(queue.WaitNotEmpty(std::chrono::milliseconds(0)));
    std::uint8_t front[AnswerQueue::kEntryCapacity];
    for (std::uint8_t i = 0; i < 10; ++i) {
        ASSERT_EQ(queue.CopyFront(front), 6u);
        EXPECT_EQ(front[0], i);
        queue.RemoveFront();
    }
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.CopyFront(front), 0u);
    EXPECT_FALSE(queue.WaitNotEmpty(std::chrono::milliseconds(0)));
}

TEST(ChannelRegistry, GivesEachAddressToOneChannelOnly) {
    ChannelRegistry registry;
    EXPECT_EQ(registry.Create(1).Address(), 1);
    EXPECT_EQ(registry.Create(31).Address(), 31);
    EXPECT_EQ(registry.Create(1).Address(), LinkChannel::kNoAddress);
    EXPECT_EQ(registry.Create(0).Address(), LinkChannel::kNoAddress);
    EXPECT_EQ(registry.Create(32).Address(), LinkChannel::kNoAddress);
    EXPECT_EQ(registry.Find(1), registry.Find(1));
    EXPECT_EQ(registry.Find(LinkChannel::kNoAddress), nullptr);
}

TEST(ChannelRegistry, DispatchesByTheLowFiveAddressBitsAndDropsTheRest) {
    ChannelRegistry registry;
    LinkChannel& main = registry.Create(1);
    LinkChannel& flash = registry.Create(2);
    EXPECT_TRUE(registry.Dispatch(Packet(0x21, 0x41, 0x00).data(), 6));  // upper bits ignored
    EXPECT_TRUE(registry.Dispatch(Packet(0x02, 0x42, 0x02).data(), 6));
    const Bytes shortPacket = Packet(0x01, 0x41, 0x00);
    EXPECT_FALSE(registry.Dispatch(shortPacket.data(), 5));
    EXPECT_FALSE(registry.Dispatch(Packet(0x07, 0x41, 0x00).data(), 6));  // nobody there
    EXPECT_EQ(main.Queue().Count(), 1u);
    EXPECT_EQ(flash.Queue().Count(), 1u);

    for (int i = 0; i < 12; ++i) {
        registry.Dispatch(Packet(0x01, 0x41, 0x00).data(), 6);
    }
    EXPECT_EQ(main.Queue().Count(), AnswerQueue::kDefaultEntries);
}

TEST_F(LinkFixture, CreatesTheThreeChannelsAndSurvivesAFloodOfJunk) {
    EXPECT_EQ(Link().Main()->Address(), 1);
    EXPECT_EQ(Link().Efl()->Address(), 2);
    EXPECT_EQ(Link().Cpu()->Address(), 3);

    std::uint32_t seed = 99;
    Bytes junk(20000);
    for (auto& byte : junk) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    for (std::size_t i = 0; i < 50; ++i) {
        const Bytes frame =
            Frame(Packet(0x02, 0x42, 0x05, Bytes(200, static_cast<std::uint8_t>(i))));
        junk.insert(junk.begin() + static_cast<long>(i * 300), frame.begin(), frame.end());
    }
    Link().Receive(junk.data(), junk.size());
    EXPECT_EQ(Link().Efl()->Queue().Count(), AnswerQueue::kDefaultEntries);
}

TEST_F(LinkFixture, TransactReturnsTheMatchingAnswerUntilTheNextOne) {
    AnswerData({0x11, 0x22, 0x33});
    const std::uint8_t payload[] = {0x01, 0x0C};
    ASSERT_TRUE(Link().Transact(Link().Main(), payload, sizeof payload, true, "*"));
    LinkChannel* main = Link().Main();
    EXPECT_EQ(Bytes(main->AnswerData(), main->AnswerData() + main->AnswerDataLength()),
              (Bytes{0x11, 0x22, 0x33}));
    EXPECT_EQ(main->AnswerPayloadLength(), 5u);
    EXPECT_EQ(Payloads(), (std::vector<Bytes>{{0x01, 0x0C}}));
    // The request left with the channel's address as its source.
    EXPECT_EQ(Bytes(peer_.requests[0].begin(), peer_.requests[0].begin() + 4),
              (Bytes{0x00, 0x01, 0x00, 0x01}));

    // A transaction on another channel leaves this answer alone.
    const std::uint8_t erase[] = {0x02, 0x05, 0, 0, 0, 0};
    AnswerData({});
    ASSERT_TRUE(Link().Transact(Link().Efl(), erase, sizeof erase, true, "*"));
    EXPECT_EQ(main->AnswerDataLength(), 3u);
    EXPECT_EQ(peer_.requests[1][3], 0x02);
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(LinkFixture, TransactSkipsAnswersThatDoNotMatch) {
    Answer([](const Bytes& request) {
        Bytes wire;
        auto add = [&](Bytes packet) {
            const Bytes frame = Frame(packet);
            wire.insert(wire.end(), frame.begin(), frame.end());
        };
        Bytes noAnswerBit = AnswerPacket(request, {0xA1});
        noAnswerBit[4] &= ~0x40;
        Bytes otherCode = AnswerPacket(request, {0xA2});
        otherCode[5] ^= 0x01;
        Bytes otherGroup = AnswerPacket(request, {0xA3});
        otherGroup[4] ^= 0x02;
        add(noAnswerBit);
        add(otherCode);
        add(otherGroup);
        add(AnswerPacket(request, {0xA4}));
        return wire;
    });
    const std::uint8_t payload[] = {0x01, 0x0E, 0x09, 0x00};
    ASSERT_TRUE(Link().Transact(Link().Main(), payload, sizeof payload, true, "*"));
    ASSERT_EQ(Link().Main()->AnswerDataLength(), 1u);
    EXPECT_EQ(Link().Main()->AnswerData()[0], 0xA4);
    EXPECT_EQ(peer_.requests.size(), 1u);
}

TEST_F(LinkFixture, TransactDiscardsAnswersThatCameBeforeTheRequest) {
    const Bytes stale = Packet(0x01, 0x41, 0x0C, {0x5E});
    Link().Receive(Frame(stale).data(), Frame(stale).size());
    ASSERT_EQ(Link().Main()->Queue().Count(), 1u);
    AnswerData({0xF0});
    const std::uint8_t payload[] = {0x01, 0x0C};
    ASSERT_TRUE(Link().Transact(Link().Main(), payload, sizeof payload, true, ""));
    EXPECT_EQ(Link().Main()->AnswerData()[0], 0xF0);
}

TEST_F(LinkFixture, TransactSendsThreeTimesSevenHundredMillisecondsApartWithRetry) {
    Silence();
    const std::uint8_t payload[] = {0x01, 0x01};
    EXPECT_FALSE(Link().Transact(Link().Main(), payload, sizeof payload, true, "*"));
    ASSERT_EQ(peer_.requests.size(), 3u);
    for (std::size_t i = 1; i < 3; ++i) {
        const std::uint32_t gap = peer_.requestTimes[i] - peer_.requestTimes[i - 1];
        EXPECT_GT(gap, 700u);
        EXPECT_LE(gap, 700u + 3 * kStepMs);
    }
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"No answer from device"});

    EXPECT_FALSE(Link().Transact(Link().Main(), payload, sizeof payload, false, "Lost"));
    EXPECT_EQ(peer_.requests.size(), 4u);
    EXPECT_EQ(dialogs_.errors.back(), "Lost");

    EXPECT_FALSE(Link().Transact(Link().Main(), payload, sizeof payload, false, ""));
    EXPECT_EQ(dialogs_.errors.size(), 2u);
}

// A lost answer costs one wait: the request after the retried one goes out as
// soon as the retry is answered, and a late twin of that answer, which a
// device that was only slow sends as well, is not taken for the next one.
TEST_F(LinkFixture, ALostAnswerCostsOneWaitAndItsLateTwinIsNotTakenForTheNext) {
    Link().SetRetryLog(log_.Sink());
    int requests = 0;
    Answer([&requests](const Bytes& request) {
        ++requests;
        if (requests == 1) {
            return Bytes{};
        }
        Bytes wire;
        if (requests == 3) {
            const Bytes late = Frame(AnswerPacket(request, {0x20, 0x00, 0x10, 0x00, 0x20, 0xAA}));
            wire.insert(wire.end(), late.begin(), late.end());
        }
        const Bytes own = testing_pty::EchoAnswer(request);
        wire.insert(wire.end(), own.begin(), own.end());
        return wire;
    });
    const std::uint8_t first[] = {0x02, 0x02, 0x20, 0x00, 0x10, 0x00, 0x20};
    const std::uint8_t next[] = {0x02, 0x02, 0x40, 0x00, 0x10, 0x00, 0x20};
    ASSERT_TRUE(Link().Transact(Link().Efl(), first, sizeof first, true, "*", 4));
    ASSERT_TRUE(Link().Transact(Link().Efl(), next, sizeof next, true, "*", 4));

    ASSERT_EQ(peer_.requests.size(), 3u);
    EXPECT_LE(peer_.requestTimes[2] - peer_.requestTimes[1], 2 * kStepMs) << "a second wait";
    const LinkChannel* efl = Link().Efl();
    EXPECT_EQ(Bytes(efl->AnswerData(), efl->AnswerData() + efl->AnswerDataLength()),
              Bytes(next + 2, next + sizeof next));
    const std::vector<std::string> lines = log_.Lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                                return line.find("EFL_READ 0x00100020") != std::string::npos &&
                                       line.find("2/3") != std::string::npos;
                            }),
              1);
    EXPECT_TRUE(dialogs_.errors.empty());
}

// What an operation that gives up after an exchange reports: the link's own
// reason, or a bad answer when the exchange itself went through.
TEST_F(LinkFixture, TheLastFailureTellsWhyAnExchangeFailed) {
    const std::uint8_t payload[] = {0x01, 0x01};
    ASSERT_TRUE(Link().Transact(Link().Main(), payload, sizeof payload, false, ""));
    EXPECT_EQ(Link().LastFailure(), OutcomeKind::Completed);
    EXPECT_EQ(Link().FailureOutcome("Wrong").kind, OutcomeKind::BadAnswer);
    EXPECT_EQ(Link().FailureOutcome("Wrong").text, "Wrong");

    Silence();
    EXPECT_FALSE(Link().Transact(Link().Main(), payload, sizeof payload, false, ""));
    EXPECT_EQ(Link().FailureOutcome("").kind, OutcomeKind::NoAnswer);

    stack_->Close();
    EXPECT_FALSE(Link().Transact(Link().Main(), payload, sizeof payload, false, ""));
    EXPECT_EQ(Link().FailureOutcome("").kind, OutcomeKind::PortLost);
}

TEST_F(LinkFixture, TransactRefusesWithoutSendingWhatCannotBeSent) {
    const std::uint8_t payload[] = {0x01, 0x00};
    EXPECT_FALSE(Link().Transact(nullptr, payload, sizeof payload, true, "*"));
    EXPECT_FALSE(Link().Transact(Link().Main(), nullptr, 2, true, "*"));
    EXPECT_FALSE(Link().Transact(Link().Main(), payload, 1, true, "*"));
    stack_->Close();
    EXPECT_FALSE(Link().Transact(Link().Main(), payload, sizeof payload, true, "*"));
    // Every write the program made is in the peer's hands by now.
    EXPECT_FALSE(peer_.Service(now_));
    EXPECT_TRUE(peer_.requests.empty());
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(LinkFixture, SendsLongRequestsWhole) {
    Bytes payload{0x02, 0x03};
    for (int i = 0; i < 240; ++i) {  // the longest packet a decoder takes
        payload.push_back(static_cast<std::uint8_t>(i % 7 == 0 ? 0xC0 : i));
    }
    AnswerData({0x01});
    ASSERT_TRUE(Link().Transact(Link().Efl(), payload.data(), payload.size(), true, "*"));
    EXPECT_EQ(Payloads(), std::vector<Bytes>{payload});
}

}  // namespace
