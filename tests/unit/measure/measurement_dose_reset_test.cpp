#include <gtest/gtest.h>

#include "unit/measure/measurement_fixture.h"

namespace {

class DoseResetTest : public MeasurementTest {
  protected:
    void ExpectEndedWithError() {
        EXPECT_EQ(dialogs_.errors, (std::vector<std::string>{"Error Reseting Accumulated Dose"}));
        EXPECT_TRUE(dialogs_.informations.empty());
    }
};

TEST_F(DoseResetTest, ConfirmedResetIsWrittenByTheClickItself) {
    timerRuns_ = false;  // no timer step takes part in the reset
    measurement_.DoseResetClick();
    EXPECT_EQ(dialogs_.questions,
              (std::vector<std::string>{"RESET ACCUMULATED DOSE\n\rContinue?"}));
    EXPECT_EQ(device_.writes, (std::vector<std::pair<std::uint16_t, std::uint32_t>>{
                                  {0xFF00, Measurement::kCommandResetDose}}));
    EXPECT_EQ(dialogs_.informations, (std::vector<std::string>{"Accumulated Dose\nReseted"}));
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(DoseResetTest, RussianTexts) {
    SetUiLanguage(Language::Russian);
    measurement_.DoseResetClick();
    EXPECT_EQ(dialogs_.questions.at(0), "СБРОС НАКОПЛЕННОЙ ДОЗЫ\n\rПродолжить?");
    EXPECT_EQ(dialogs_.informations.at(0), "Накопленная доза\n\rСброшена");
    device_.failWrites = true;
    measurement_.DoseResetClick();
    EXPECT_EQ(dialogs_.errors.at(0), "Ошибка сброса накопленной дозы");
}

TEST_F(DoseResetTest, NextAutomaticReadShowsTheResetDose) {
    measurement_.State().activePage = 0;
    Ticks(3);   // blank, start, first read with dose
    Ticks(10);  // second read, without dose
    const long refreshes = CountWrites(Measurement::kCommandRefreshDose);
    ASSERT_EQ(refreshes, 1);
    measurement_.DoseResetClick();
    Ticks(10);
    EXPECT_EQ(CountWrites(Measurement::kCommandRefreshDose), refreshes + 1);
}

TEST_F(DoseResetTest, UnansweredWriteShowsTheErrorAndIsNotSentAgain) {
    device_.failWrites = true;
    measurement_.DoseResetClick();
    EXPECT_EQ(CountWrites(Measurement::kCommandResetDose), 1);
    ExpectEndedWithError();
    // A later step must not send the failed reset again.
    Ticks(5);
    EXPECT_EQ(CountWrites(Measurement::kCommandResetDose), 1);
}

TEST_F(DoseResetTest, RefusedGateShowsTheErrorAtOnce) {
    gateOpen_ = false;
    measurement_.DoseResetClick();
    ExpectEndedWithError();
    EXPECT_EQ(measurement_.State().versionNotice, gateNotice_);
    EXPECT_TRUE(device_.writes.empty());
}

TEST_F(DoseResetTest, DeclinedQuestionDoesNothing) {
    dialogs_.answerYes = false;
    measurement_.DoseResetClick();
    EXPECT_EQ(gateCalls_, 0);
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_TRUE(dialogs_.informations.empty());
    EXPECT_TRUE(device_.writes.empty());
}

}  // namespace
