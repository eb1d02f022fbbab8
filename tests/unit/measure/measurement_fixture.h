#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "measure/measurement.h"
#include "support/language_guard.h"
#include "unit/measure/measurement_fakes.h"

// The measurement logic on a scripted device, a fake clock and a page gate
// that the test opens or closes. Tick() stands for the main window's timer:
// every call is one 100 ms tick.
class MeasurementTest : public ::testing::Test {
  protected:
    static constexpr std::uint32_t kTickMs = 100;

    MeasurementTest()
        : measurement_(
              device_,
              [this](std::string& notice) {
                  ++gateCalls_;
                  if (!gateOpen_) {
                      notice = gateNotice_;
                  }
                  return gateOpen_;
              },
              dialogs_, [this] { return now_; }) {}

    void Tick() {
        now_ += kTickMs;
        if (timerRuns_) {
            measurement_.MeasureStep();
        }
    }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) {
            Tick();
        }
    }

    long CountWrites(std::uint32_t command) const {
        return std::count(device_.writes.begin(), device_.writes.end(),
                          std::pair<std::uint16_t, std::uint32_t>{0xFF00, command});
    }
    long CountMemReads(std::uint32_t address) const {
        return std::count(device_.memReads.begin(), device_.memReads.end(), address);
    }
    long CountParameterReads(std::uint16_t id) const {
        return std::count(device_.parameterReads.begin(), device_.parameterReads.end(), id);
    }

    FakeMeasureDevice device_;
    FakeDialogs dialogs_;
    std::uint32_t now_ = 5000;
    bool gateOpen_ = true;
    std::string gateNotice_ = "Need\n\rto Update\n\rFirmware";
    int gateCalls_ = 0;
    bool timerRuns_ = true;
    Measurement measurement_;
    LanguageGuard english_{Language::English};
};
