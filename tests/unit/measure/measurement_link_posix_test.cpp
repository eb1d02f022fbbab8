#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "measure/measure_commands_device.h"
#include "measure/measurement.h"
#include "support/language_guard.h"
#include "unit/measure/measurement_fakes.h"
#include "unit/protocol/link_fixture.h"

namespace {

using testing_pty::Bytes;

// The measurement logic over the real command set and transport, on a
// pseudo-terminal whose far end plays a dosimeter's parameters and memory.
class MeasurementOverLinkTest : public link_testing::LinkFixture {
  protected:
    MeasurementOverLinkTest()
        : device_(Commands(), &log_),
          measurement_(
              device_, [](std::string&) { return true; }, measureDialogs_,
              [this] { return now_; }) {
        parameters_ = {{0xC001, 0x20000100}, {0xC004, 0x20000104}, {0xC002, 0x20000200},
                       {0xC015, 0x20000300}, {0xC016, 0x20000310}, {9, 2}};
        Put(0x20000104, {0xF5, 0x01, 0x00, 0x00});  // 501 counts: 250 CPM
        Put(0x20000202, {77});
        Put(0x20000300, {'1', '5', '2', '3', 0});
        Put(0x20000310, {'P', 'U', 'L', 'S', 'E', 'S', 0});
        Answer([this](const Bytes& request) { return Respond(request); });
    }

    void Put(std::uint32_t address, const Bytes& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            memory_[address + static_cast<std::uint32_t>(i)] = bytes[i];
        }
    }

    static std::uint32_t Le32(const std::uint8_t* bytes) {
        return bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
               static_cast<std::uint32_t>(bytes[3]) << 24;
    }

    Bytes Respond(const Bytes& request) {
        const std::uint8_t code = request.at(5);
        const std::uint8_t* data = request.data() + 6;
        Bytes answer;
        if (code == 0x0E) {
            const std::uint16_t id = static_cast<std::uint16_t>(data[0] | data[1] << 8);
            const std::uint32_t value = parameters_[id];
            answer = {data[0],
                      data[1],
                      static_cast<std::uint8_t>(value),
                      static_cast<std::uint8_t>(value >> 8),
                      static_cast<std::uint8_t>(value >> 16),
                      static_cast<std::uint8_t>(value >> 24)};
        } else if (code == 0x0F) {
            if (!answerWrites_) {
                return {};
            }
            writes_.push_back(Le32(data + 2));
            answer.assign(request.begin() + 6, request.begin() + 12);
        } else if (code == 0x02) {
            const std::uint32_t address = Le32(data);
            if (address == silentAddress_) {
                return {};
            }
            answer.assign(request.begin() + 6, request.begin() + 11);
            for (std::uint32_t i = 0; i < data[4]; ++i) {
                answer.push_back(memory_[address + i]);
            }
        }
        return testing_pty::Frame(testing_pty::AnswerPacket(request, answer));
    }

    bool Logged(const std::string& line) const {
        const auto& lines = log_.Lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::map<std::uint16_t, std::uint32_t> parameters_;
    std::map<std::uint32_t, std::uint8_t> memory_;
    std::vector<std::uint32_t> writes_;
    bool answerWrites_ = true;
    std::uint32_t silentAddress_ = 0;
    FakeDialogs measureDialogs_;
    CommandsMeasureDevice device_;
    Measurement measurement_;
    LanguageGuard english_{Language::English};
};

TEST_F(MeasurementOverLinkTest, ReadsCountsAndDoseThroughTheCommandSet) {
    ASSERT_TRUE(measurement_.ReadMeasurement(true));
    EXPECT_EQ(measurement_.State().fonText, "250 CPM");
    EXPECT_EQ(measurement_.State().fonLevel, 77);
    EXPECT_EQ(measurement_.State().doseText, "1523 PULSES");
    EXPECT_EQ(writes_, (std::vector<std::uint32_t>{0xC0BA0021}));
    EXPECT_TRUE(Logged("Read PAR[0xC001(49153)] : 0x20000100(536871168)"));
    EXPECT_TRUE(Logged("Read PAR[0x0009(9)] : 0x0002(2)"));
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(MeasurementOverLinkTest, UnansweredMemoryReadBlanksQuietlyAndIsLogged) {
    silentAddress_ = 0x20000202;
    EXPECT_FALSE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(measurement_.State().fonText, "--------");
    EXPECT_EQ(measurement_.State().fonLevel, 0);
    EXPECT_TRUE(Logged("# ERROR: \"Read MEM[0x20000202] : 1\""));
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(MeasurementOverLinkTest, DoseResetIsWrittenOnTheClick) {
    measurement_.DoseResetClick();
    EXPECT_EQ(writes_, (std::vector<std::uint32_t>{0xC0BA0020}));
    EXPECT_EQ(measureDialogs_.informations.size(), 1u);
    EXPECT_TRUE(Logged("Write PAR[0xFF00(65280)] : 0xC0BA0020(-1061552096)"));
}

TEST_F(MeasurementOverLinkTest, UnansweredResetShowsTheErrorAndLeavesNothingPending) {
    answerWrites_ = false;
    measurement_.DoseResetClick();
    EXPECT_EQ(measureDialogs_.errors,
              (std::vector<std::string>{"Error Reseting Accumulated Dose"}));
    EXPECT_EQ(dialogs_.errors.size(), 1u);  // the transport's own failure box
    EXPECT_TRUE(Logged("# ERROR: \"Write PAR[65280] : 0xC0BA0020(-1061552096)\""));

    // The failed reset is not tried again by the next steps of the timer.
    answerWrites_ = true;
    for (int tick = 0; tick < 3; ++tick) {
        now_ += Measurement::kReadPeriodMs;
        measurement_.MeasureStep();
    }
    EXPECT_EQ(std::count(writes_.begin(), writes_.end(), Measurement::kCommandResetDose), 0);
}

}  // namespace
