#include "base/worker_dialogs.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// Shared with the posted call, which may outlive a job that gave up waiting.
struct Answer {
    std::mutex lock;
    std::condition_variable ready;
    bool done = false;
    bool result = false;
    std::string text;
};

}  // namespace

bool WorkerDialogs::Show(std::function<bool(Dialogs&, std::string&)> show, std::string& text) {
    if (stop_.StopRequested()) {
        return false;
    }
    if (ui_.IsCurrent()) {
        return Counted(show, text);
    }
    auto answer = std::make_shared<Answer>();
    answer->text = text;
    ui_.Post([this, answer, show = std::move(show)] {
        std::string value = answer->text;
        const bool result = !stop_.StopRequested() && Counted(show, value);
        std::lock_guard<std::mutex> guard(answer->lock);
        answer->result = result;
        answer->text = std::move(value);
        answer->done = true;
        answer->ready.notify_all();
    });
    const StopWaker waker(&stop_, [answer] {
        std::lock_guard<std::mutex> guard(answer->lock);
        answer->ready.notify_all();
    });
    std::unique_lock<std::mutex> hold(answer->lock);
    answer->ready.wait(hold, [&] { return answer->done || stop_.StopRequested(); });
    if (!answer->done || stop_.StopRequested()) {
        return false;
    }
    text = answer->text;
    return answer->result;
}

bool WorkerDialogs::Counted(const std::function<bool(Dialogs&, std::string&)>& show,
                            std::string& text) {
    ++showing_;
    struct Leave {
        std::atomic<int>& showing;
        ~Leave() { --showing; }
    } leave{showing_};
    return show(shown_, text);
}

void WorkerDialogs::Error(const std::string& text) {
    std::string shown = text;
    Show([](Dialogs& dialogs, std::string& value) { return dialogs.Error(value), true; }, shown);
}

void WorkerDialogs::Information(const std::string& text) {
    std::string shown = text;
    Show([](Dialogs& dialogs, std::string& value) { return dialogs.Information(value), true; },
         shown);
}

void WorkerDialogs::Warning(const std::string& text) {
    std::string shown = text;
    Show([](Dialogs& dialogs, std::string& value) { return dialogs.Warning(value), true; }, shown);
}

bool WorkerDialogs::AskYesNo(const std::string& text) {
    std::string shown = text;
    return Show([](Dialogs& dialogs, std::string& value) { return dialogs.AskYesNo(value); },
                shown);
}

bool WorkerDialogs::InputQuery(const std::string& caption, const std::string& prompt,
                               std::string& value) {
    return Show(
        [caption, prompt](Dialogs& dialogs, std::string& text) {
            return dialogs.InputQuery(caption, prompt, text);
        },
        value);
}

bool WorkerDialogs::SaveFileName(const std::string& caption, const std::string& filter,
                                 std::string& fileName) {
    return Show(
        [caption, filter](Dialogs& dialogs, std::string& text) {
            return dialogs.SaveFileName(caption, filter, text);
        },
        fileName);
}
