#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/dialogs.h"
#include "base/tick_clock.h"
#include "measure/measure_device.h"
#include "measure/measure_page_state.h"

// The page gate: true when the page may talk to the device; it may set the
// page's notice text.
using PageGate = std::function<bool(std::string& notice)>;

// Device memory addresses of the live values, each 0 while unknown.
struct LiveAddresses {
    std::uint32_t doseRate = 0;
    std::uint32_t countRate = 0;
    std::uint32_t level = 0;
    std::uint32_t doseText = 0;
    std::uint32_t doseUnit = 0;
};

enum class MeasureAutoState { Blank, Waiting, Reading };

// The measurement page without its widgets: single and automatic reads of the
// dose rate and the accumulated dose, and the dose reset.
class Measurement {
  public:
    static constexpr std::uint16_t kParamDoseRateAddress = 0xC001;
    static constexpr std::uint16_t kParamCountRateAddress = 0xC004;
    static constexpr std::uint16_t kParamLevelAddress = 0xC002;
    static constexpr std::uint16_t kParamDoseTextAddress = 0xC015;
    static constexpr std::uint16_t kParamDoseUnitAddress = 0xC016;
    static constexpr std::uint16_t kParamUnits = 9;
    static constexpr std::uint16_t kParamCommand = 0xFF00;
    static constexpr std::uint32_t kCommandRefreshDose = 0xC0BA0021;
    static constexpr std::uint32_t kCommandResetDose = 0xC0BA0020;
    static constexpr std::uint32_t kReadPeriodMs = 1000;
    static constexpr int kDoseEveryNthRead = 10;
    static constexpr std::size_t kDoseTextBytes = 10;

    Measurement(MeasureDevice& device, PageGate pageGate, Dialogs& dialogs, TickClock clock);

    // Called after every change of the state, so the page can show it at once.
    void SetStateObserver(std::function<void()> observer) { observer_ = std::move(observer); }
    // Called with each dose rate read: units code, raw word and level.
    void SetReadingObserver(
        std::function<void(int units, std::uint32_t rateWord, int level)> observer) {
        readingObserver_ = std::move(observer);
    }

    MeasurePageState& State() { return state_; }
    const MeasurePageState& State() const { return state_; }

    bool ReadMeasurement(bool withDose);
    // One step of automatic reading; the periodic step runs it on the device worker.
    void MeasureStep();

    // The page's three controls.
    void ReadClick();
    void AutoReadClick(bool checked);
    void DoseResetClick();

    MeasureAutoState AutoState() const { return autoState_; }
    const LiveAddresses& Addresses() const { return addresses_; }

  private:
    bool PassPageGate();
    bool ReadAddresses();
    bool ReadDoseRate();
    bool ReadDose();
    bool FailRate();
    bool RunDoseReset();
    void StepAutomaticRead();
    void Blank();
    void StartAutomaticReading();
    bool PageOpenWithAutoRead() const;
    void Changed();

    MeasureDevice& device_;
    PageGate pageGate_;
    Dialogs& dialogs_;
    TickClock clock_;
    std::function<void()> observer_;
    std::function<void(int units, std::uint32_t rateWord, int level)> readingObserver_;

    MeasurePageState state_;
    LiveAddresses addresses_;
    std::array<std::uint8_t, kDoseTextBytes + 1> doseText_{};
    std::array<std::uint8_t, kDoseTextBytes + 1> doseUnit_{};
    MeasureAutoState autoState_ = MeasureAutoState::Blank;
    std::uint32_t lastReadTick_ = 0;
    bool readDueNow_ = false;
    int readCounter_ = 0;
};
