#include <QApplication>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>

#include "app/dialogs_qt.h"
#include "ui/app/shell_fixture.h"

namespace {

constexpr int kWaitMs = 10000;

// One kind of box a job on the device worker may wait on. `show` returns the
// answer: boxes without a question count as answered Yes.
struct BoxKind {
    const char* name;
    std::function<bool(Dialogs&)> show;
    bool question;
};

std::vector<BoxKind> Kinds() {
    return {
        {"Error", [](Dialogs& d) { return d.Error("E"), true; }, false},
        {"Information", [](Dialogs& d) { return d.Information("I"), true; }, false},
        {"Warning", [](Dialogs& d) { return d.Warning("W"), true; }, false},
        {"Question", [](Dialogs& d) { return d.AskYesNo("Q?"); }, true},
        {"Input",
         [](Dialogs& d) {
             std::string value = "1";
             return d.InputQuery("C", "P", value);
         },
         true},
        {"SaveFile",
         [](Dialogs& d) {
             std::string name = "x.csv";
             return d.SaveFileName("S", "*.csv", name);
         },
         true},
    };
}

// The window with real boxes: a job waits on one while the window is closed.
class StopWithBoxOpen : public ShellFixture, public ::testing::WithParamInterface<BoxKind> {
  protected:
    QtDialogs boxes_;
};

// The box closes, the job is released with No, and the window closes from
// the top-level loop with its log saved.
TEST_P(StopWithBoxOpen, TheBoxClosesAndTheWindowEndsWithItsLog) {
    auto form = std::make_unique<TForm1>(boxes_, *options_);
    ASSERT_TRUE(form->StartedUp());
    boxes_.SetParent(form.get());
    form->show();
    std::atomic<int> answer{-1};
    bool closed = true;
    // The box's own loop runs inside the test's waits: the close is asked from
    // within it, as a close click or a signal arrives there.
    auto* poll = new QTimer(form.get());
    QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
        if (QApplication::activeModalWidget() != nullptr) {
            poll->stop();
            closed = form->close();
        }
    });
    poll->start(5);
    form->Worker().Post(
        [&form, &answer, show = GetParam().show] { answer = show(form->UserDialogs()) ? 1 : 0; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return SavedLog().contains("# END: "); }, kWaitMs));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // Released: a question counts as answered No.
    EXPECT_EQ(answer.load(), GetParam().question ? 0 : 1);
    EXPECT_TRUE(form->StopRequested());
    EXPECT_FALSE(closed) << "the first request waits for the box to return";
}

INSTANTIATE_TEST_SUITE_P(Boxes, StopWithBoxOpen, ::testing::ValuesIn(Kinds()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
