// A whole history reading from a device with any header (of up to 4 pages), clock,
// calibration and flash contents, whose flash reads may fail or come back short;
// then the chart of every level, moved about as the page's buttons move it.
// A completed reading holds in its store exactly what the flash holds on the
// pages it read, and every bar is drawn in the colours its coverage allows.

#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "history/history_chart_model.h"
#include "history/history_navigation.h"
#include "history/read_history.h"

namespace {

using history_geometry::kFlashBase;
using history_geometry::kPageRecords;

// Every page of a ring is read, stored and drawn by the same code, so a
// history of at most 4 pages reaches all of it: any ring size, any positions,
// a ring read around its end or whole. Counts of up to 255 pages would run
// the same code up to a hundred times slower.
constexpr std::uint32_t kMostRecords = 4 * kPageRecords;

// Flash contents repeat a pattern from the input; each record's start time
// moves on by a stride, so that the records follow each other in time.
class PatternDevice : public HistoryDevice {
  public:
    explicit PatternDevice(FuzzedDataProvider& input) {
        for (const std::uint16_t id : {HistoryHeader::kParamLayout, HistoryHeader::kParamCount,
                                       HistoryHeader::kParamPositions, HistoryHeader::kParamFlag,
                                       DeviceHistory::kParamCalibration}) {
            std::uint32_t value = input.ConsumeIntegral<std::uint32_t>();
            if (id == HistoryHeader::kParamCount) {
                value = (value & 0xFFFF0000) | ((value & 0xFFFF) % kMostRecords);
            }
            parameters_.push_back({id, value});
        }
        const auto time = input.ConsumeBytes<std::uint8_t>(DeviceTimeRecord::kSize);
        std::uint8_t bytes[DeviceTimeRecord::kSize] = {};
        std::copy(time.begin(), time.end(), bytes);
        time_ = DeviceTimeRecord::FromBytes(bytes);
        failingRead_ = input.ConsumeIntegral<std::uint16_t>();
        shortRead_ = input.ConsumeIntegral<std::uint16_t>();
        stride_ = input.ConsumeIntegral<std::uint16_t>();
        pattern_ = input.ConsumeRemainingBytes<std::uint8_t>();
        if (pattern_.empty()) {
            pattern_.push_back(0xFF);
        }
        // The pattern followed by its own start, so that every record is one
        // copy from it.
        const std::size_t period = pattern_.size();
        for (std::size_t i = 0; i < HistoryRecord::kSize; ++i) {
            pattern_.push_back(pattern_[i % period]);
        }
        period_ = period;
    }

    void RecordAt(std::uint32_t index, std::uint8_t* record) const {
        const std::size_t offset = (std::size_t{index} * HistoryRecord::kSize) % period_;
        std::memcpy(record, pattern_.data() + offset, HistoryRecord::kSize);
        WriteLe32(record + 4, ReadLe32(record + 4) + index * stride_);
    }

    bool ReadParameter(std::uint16_t id, std::uint32_t& value) override {
        for (const auto& [known, stored] : parameters_) {
            if (known == id) {
                value = stored;
                return true;
            }
        }
        return false;
    }
    bool WriteParameter(std::uint16_t, std::uint32_t) override { return true; }
    bool TimeRead(DeviceTimeRecord& time) override {
        time = time_;
        return true;
    }
    int EflRead(std::uint32_t address, std::uint8_t* destination, int length) override {
        ++reads_;
        if (reads_ == failingRead_ || address < kFlashBase || length <= 0) {
            return -1;
        }
        const int answered = reads_ == shortRead_ ? length / 2 : length;
        for (int i = 0; i < answered; i += HistoryRecord::kSize) {
            RecordAt((address - kFlashBase) / HistoryRecord::kSize + i / HistoryRecord::kSize,
                     destination + i);
        }
        return answered;
    }

  private:
    std::vector<std::pair<std::uint16_t, std::uint32_t>> parameters_;
    DeviceTimeRecord time_{};
    std::uint32_t failingRead_ = 0;
    std::uint32_t shortRead_ = 0;
    std::uint32_t stride_ = 0;
    std::vector<std::uint8_t> pattern_;
    std::size_t period_ = 1;
    std::uint32_t reads_ = 0;
};

void CheckStore(const DeviceHistory& history, const PatternDevice& device) {
    for (const int page : history.header.ReadingOrder()) {
        for (std::uint32_t slot = 0; slot < kPageRecords; ++slot) {
            const std::uint32_t index = static_cast<std::uint32_t>(page) * kPageRecords + slot;
            std::uint8_t expected[HistoryRecord::kSize];
            device.RecordAt(index, expected);
            FUZZ_CHECK(std::memcmp(history.store.Bytes(index), expected, sizeof expected) == 0);
        }
    }
}

void CheckPicture(const ChartPicture& picture, const HistoryChartView& view) {
    FUZZ_CHECK(picture.title.size() == 2);
    FUZZ_CHECK(static_cast<int>(picture.bars.size()) == BarCount(view.level, view.view));
    for (const ChartBar& bar : picture.bars) {
        const auto& [peak, mean, coverage] = bar.series;
        FUZZ_CHECK(coverage.value == 1.0);
        if (coverage.color == kColorBlue) {
            FUZZ_CHECK(peak.value == 1.0 && mean.value == 1.0);
            FUZZ_CHECK(peak.color == kColorBlue && mean.color == kColorBlue);
            continue;
        }
        FUZZ_CHECK(coverage.color == kColorGreen || coverage.color == kColorFuchsia);
        FUZZ_CHECK(mean.color == kColorLime && mean.value >= 0);
        if (view.showMax) {
            FUZZ_CHECK(peak.color == kColorYellow && peak.value >= mean.value);
        } else {
            FUZZ_CHECK(peak.color == kColorFuchsia && peak.value == 1.0);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto moves = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 8));
    PatternDevice device(input);
    static DeviceHistory history;  // 1 MiB, allocated once as the program does
    history.Reset();
    QuietHost host;
    SilentDialogs dialogs;
    ReadHistory reading(HistoryAccess{device, host, {}}, history, dialogs, nullptr);
    if (reading.Run(1) != HistoryOutcome::Completed) {
        FUZZ_CHECK(!history.valid);
        return 0;
    }
    FUZZ_CHECK(history.valid && history.header.Accepted());
    // A ring the device could not hold is a reading error before any flash read.
    const HistoryHeader& header = history.header;
    FUZZ_CHECK(header.pages >= 1 && header.write < history_geometry::kIndexLimit);
    FUZZ_CHECK(header.oldest / 256 < header.pages && header.write / 256 < header.pages);
    FUZZ_CHECK(history.k100 >= DeviceHistory::kMinK100 && history.k100 <= DeviceHistory::kMaxK100);
    CheckStore(history, device);

    HistoryChartView view;
    ToLast(view, history.readTime);
    CheckPicture(DrawHistory(history, view), view);
    for (const std::uint8_t move : moves) {
        switch (move % 5) {
            case 0:
                LevelUp(view);
                break;
            case 1:
                DrillDown(view, move / 5);
                break;
            case 2:
                StepView(view.view, view.level, (move & 0x80) != 0);
                break;
            case 3:
                view.showMax = !view.showMax;
                break;
            default:
                ToLast(view, history.readTime);
                break;
        }
        CheckPicture(DrawHistory(history, view), view);
    }
    return 0;
}
