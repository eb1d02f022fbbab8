#include <gtest/gtest.h>

#include <string>

#include "base/app_log.h"

namespace {

TEST(AppLog, DropsOnlyImmediateRepeats) {
    AppLog log;
    log.AddLine("A");
    log.AddLine("A");
    EXPECT_EQ(log.LineCount(), 1u);
    log.AddLine("B");
    log.AddLine("A");
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"A", "B", "A"}));
}

TEST(AppLog, EmptyTextIsDroppedUntilTheFirstLine) {
    AppLog log;
    log.AddLine("");
    EXPECT_EQ(log.LineCount(), 0u);
    log.AddLine("first");
    log.AddLine("");
    EXPECT_EQ(log.LineCount(), 2u);
}

TEST(AppLog, ClearingKeepsTheLastTextSoARepeatIsStillDropped) {
    AppLog log;
    log.AddLine("same");
    log.Clear();
    log.AddLine("same");
    EXPECT_EQ(log.LineCount(), 0u);
    log.AddLine("other");
    EXPECT_EQ(log.LineCount(), 1u);
}

TEST(AppLog, MarksAFullLogOnceAtExactlyTheThreshold) {
    AppLog log;
    for (std::size_t index = 0; index < AppLog::kFullThreshold; ++index) {
        log.AddLine("line " + std::to_string(index));
    }
    ASSERT_EQ(log.LineCount(), AppLog::kFullThreshold);
    log.AddLine("next");
    ASSERT_EQ(log.LineCount(), AppLog::kFullThreshold + 2);
    EXPECT_EQ(log.Lines()[AppLog::kFullThreshold], AppLog::kFullMarker);
    EXPECT_EQ(log.Lines().back(), "next");
    log.AddLine("after");
    log.AddLine("and more");
    EXPECT_EQ(log.LineCount(), AppLog::kFullThreshold + 4);
    const std::vector<std::string> lines = log.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), AppLog::kFullMarker), 1);
}

TEST(AppLog, ObserverSeesAppendsReplacementsAndClearing) {
    AppLog log;
    std::vector<std::string> seen;
    int clears = 0;
    log.SetObserver({[&](const std::string& line) { seen.push_back("+" + line); },
                     [&](const std::string& line) { seen.push_back("=" + line); },
                     [&] { ++clears; }});
    log.AddLine("10%");
    log.ReplaceLastLine("20%");
    log.Clear();
    EXPECT_EQ(seen, (std::vector<std::string>{"+10%", "=20%"}));
    EXPECT_EQ(clears, 1);
}

TEST(AppLog, ErrorFormsAndSinkEndInAddLine) {
    AppLog log;
    log.LogError("no port");
    log.LogErrorCode("open", -1);
    log.Sink()("from sink");
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"# ERROR: \"no port\"", "ERROR=[-1]-\"open\"",
                                                     "from sink"}));
    log.LogError("late");
    log.AddLine("# ERROR: \"unclosed");
    EXPECT_EQ(log.ErrorsSince(0), (std::vector<std::string>{"no port", "late"}));
    EXPECT_EQ(log.ErrorsSince(3), (std::vector<std::string>{"late"}));
    EXPECT_TRUE(log.ErrorsSince(4).empty());  // the unclosed line is no error
}

}  // namespace
