#include "measure/measurement.h"

#include <utility>

#include "base/language.h"
#include "measure/measure_texts.h"

namespace {

void Toggle(IndicatorColour& colour) {
    colour = colour == IndicatorColour::ButtonFace ? IndicatorColour::Yellow
                                                   : IndicatorColour::ButtonFace;
}

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace

Measurement::Measurement(MeasureDevice& device, PageGate pageGate, Dialogs& dialogs,
                         TickClock clock)
    : device_(device),
      pageGate_(std::move(pageGate)),
      dialogs_(dialogs),
      clock_(std::move(clock)) {}

void Measurement::Changed() {
    if (observer_) {
        observer_();
    }
}

bool Measurement::PassPageGate() {
    const bool allowed = pageGate_(state_.versionNotice);
    Changed();
    return allowed;
}

bool Measurement::ReadMeasurement(bool withDose) {
    if (!PassPageGate() || !ReadAddresses() || !ReadDoseRate()) {
        return FailRate();
    }
    return !withDose || ReadDose();
}

bool Measurement::ReadAddresses() {
    const std::pair<std::uint16_t, std::uint32_t*> entries[] = {
        {kParamDoseRateAddress, &addresses_.doseRate},
        {kParamCountRateAddress, &addresses_.countRate},
        {kParamLevelAddress, &addresses_.level},
        {kParamDoseTextAddress, &addresses_.doseText},
        {kParamDoseUnitAddress, &addresses_.doseUnit},
    };
    for (const auto& [id, address] : entries) {
        if (*address == 0 && !device_.ReadParameter(id, *address)) {
            *address = 0;
            return false;
        }
    }
    return true;
}

bool Measurement::ReadDoseRate() {
    std::uint32_t unitsParameter = 0;
    if (!device_.ReadParameter(kParamUnits, unitsParameter)) {
        return false;
    }
    const auto units = static_cast<std::uint8_t>(unitsParameter & 0xFF);
    std::uint8_t word[4] = {};
    const std::uint32_t rateAddress = units >= 2 ? addresses_.countRate : addresses_.doseRate;
    if (device_.MemRead(rateAddress, word, sizeof word) <= 0) {
        return false;
    }
    state_.unitsCode = units;
    state_.rateRaw = LittleEndian32(word);
    state_.fonText = RateNumberText(units, state_.rateRaw) + " " + RateUnitText(units);
    Changed();

    std::uint8_t level = 0;
    if (device_.MemRead(addresses_.level + 2, &level, 1) <= 0) {
        return false;
    }
    state_.fonLevel = level;
    Toggle(state_.fonIndicator);
    Changed();
    if (readingObserver_) {
        readingObserver_(units, state_.rateRaw, level);
    }
    return true;
}

bool Measurement::ReadDose() {
    // The last byte of each buffer stays zero, so a text that fills all ten
    // data bytes still ends there.
    doseText_.fill(0);
    doseUnit_.fill(0);
    const bool ok = device_.WriteParameter(kParamCommand, kCommandRefreshDose) &&
                    device_.MemRead(addresses_.doseText, doseText_.data(), kDoseTextBytes) > 0 &&
                    device_.MemRead(addresses_.doseUnit, doseUnit_.data(), kDoseTextBytes) > 0;
    if (ok) {
        state_.doseText = DeviceText(doseText_.data(), doseText_.size()) + " " +
                          DeviceText(doseUnit_.data(), doseUnit_.size());
        Toggle(state_.doseIndicator);
    } else {
        state_.doseText = MeasurePageState::kBlankText;
    }
    Changed();
    return ok;
}

bool Measurement::FailRate() {
    state_.fonText = MeasurePageState::kBlankText;
    state_.fonLevel = 0;
    Changed();
    return false;
}

void Measurement::MeasureStep() {
    switch (autoState_) {
        case MeasureAutoState::Blank:
            Blank();
            autoState_ = MeasureAutoState::Waiting;
            break;
        case MeasureAutoState::Waiting:
            if (PageOpenWithAutoRead()) {
                StartAutomaticReading();
            }
            break;
        case MeasureAutoState::Reading:
            StepAutomaticRead();
            break;
    }
}

bool Measurement::PageOpenWithAutoRead() const {
    return state_.activePage == MeasurePageState::kMeasurementPageIndex && state_.autoReadChecked;
}

void Measurement::Blank() {
    state_.fonText = MeasurePageState::kBlankText;
    state_.doseText = MeasurePageState::kBlankText;
    state_.fonLevel = 0;
    state_.fonIndicator = IndicatorColour::ButtonFace;
    state_.doseIndicator = IndicatorColour::ButtonFace;
    Changed();
}

void Measurement::StartAutomaticReading() {
    readDueNow_ = true;
    readCounter_ = 0;
    addresses_ = {};
    doseText_.fill(0);
    doseUnit_.fill(0);
    autoState_ = MeasureAutoState::Reading;
}

void Measurement::StepAutomaticRead() {
    if (!PageOpenWithAutoRead()) {
        autoState_ = MeasureAutoState::Blank;
        return;
    }
    const std::uint32_t now = clock_();
    if (!readDueNow_ && TicksSince(lastReadTick_, now) < kReadPeriodMs) {
        return;
    }
    readDueNow_ = false;
    lastReadTick_ = now;
    if (!ReadMeasurement(readCounter_ == 0)) {
        autoState_ = MeasureAutoState::Blank;
        return;
    }
    readCounter_ = (readCounter_ + 1) % kDoseEveryNthRead;
}

void Measurement::ReadClick() {
    const bool wasEnabled = state_.readEnabled;
    state_.readEnabled = false;
    Changed();
    ReadMeasurement(true);
    state_.readEnabled = wasEnabled;
    Changed();
}

void Measurement::AutoReadClick(bool checked) {
    state_.autoReadChecked = checked;
    state_.readEnabled = !checked;
    Changed();
}

void Measurement::DoseResetClick() {
    if (dialogs_.AskYesNo(PickText("СБРОС НАКОПЛЕННОЙ ДОЗЫ\n\rПродолжить?",
                                   "RESET ACCUMULATED DOSE\n\rContinue?"))) {
        if (RunDoseReset()) {
            dialogs_.Information(
                PickText("Накопленная доза\n\rСброшена", "Accumulated Dose\nReseted"));
        } else {
            dialogs_.Error(
                PickText("Ошибка сброса накопленной дозы", "Error Reseting Accumulated Dose"));
        }
    }
}

// Jobs on the device worker run one at a time, so the write never falls
// between the exchanges of a read.
bool Measurement::RunDoseReset() {
    if (!PassPageGate()) {
        return false;
    }
    readCounter_ = 0;
    return device_.WriteParameter(kParamCommand, kCommandResetDose);
}
