#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "base/dialogs.h"
#include "base/stop_signal.h"
#include "base/ui_thread.h"

// The boxes and questions of operations that run on the device worker. Each
// is shown on the user interface's thread while the job waits for the answer,
// so its text and its place in the sequence stay what they would be inline.
// The one rule for a stopping program lives here: after a stop request nothing
// is shown and every question is answered No (or cancelled), and a job waiting
// for an answer is released at once.
class WorkerDialogs final : public Dialogs {
  public:
    WorkerDialogs(Dialogs& shown, UiThread& ui, StopSignal& stop)
        : shown_(shown), ui_(ui), stop_(stop) {}

    void Error(const std::string& text) override;
    void Information(const std::string& text) override;
    void Warning(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    bool SaveFileName(const std::string& caption, const std::string& filter,
                      std::string& fileName) override;

    // Boxes open on the user interface's thread now: a close request that
    // comes inside one must wait until its loop has returned.
    int Showing() const { return showing_.load(); }

  private:
    // Runs `show` on the user interface's thread with `text` as its in-out
    // text; false without showing anything after a stop request.
    bool Show(std::function<bool(Dialogs&, std::string&)> show, std::string& text);
    // Shows on this thread, counted in Showing().
    bool Counted(const std::function<bool(Dialogs&, std::string&)>& show, std::string& text);

    Dialogs& shown_;
    UiThread& ui_;
    StopSignal& stop_;
    std::atomic<int> showing_{0};
};
