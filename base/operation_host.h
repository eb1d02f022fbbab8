#pragma once

#include "base/stop_signal.h"

// The front end a long device operation runs in (the main window, the CLI, a
// test). It says whether the user asked the program to stop, and switches off
// for an operation's run what must not interfere with it: the background
// connection test, the pages, and shows the busy indicator. Operations never
// call the switches themselves: an OperationGuard does, and restores them.
// Operations run on the device worker (or the CLI's one thread); a front end
// with widgets hands the page and busy switches to its own thread.
class OperationHost {
  public:
    virtual ~OperationHost() = default;

    // Exit, window close, SIGINT or SIGTERM arrived; every wait fails at once.
    bool StopRequested() const { return stop_.StopRequested(); }
    void RequestStop() { stop_.RequestStop(); }
    StopSignal& Stop() { return stop_; }

  protected:
    virtual void SetLinkCheckEnabled(bool enabled) = 0;
    virtual void SetPagesEnabled(bool enabled) = 0;
    virtual void SetBusy(bool busy) = 0;

  private:
    friend class OperationGuard;
    friend class LinkCheckWindow;
    // How many running guards switched each off; restored when it returns to 0.
    int linkCheckOff_ = 0;
    int pagesOff_ = 0;
    int busyOn_ = 0;
    StopSignal stop_;
};

// What an operation switches off for its run.
struct OperationDisables {
    bool linkCheck = true;  // the background connection test stays quiet
    bool pages = true;      // the page control is disabled
    bool busy = false;      // the busy indicator is shown
};

// Marks one long operation for its lifetime: on entry it switches off what
// `disables` names; on every way out (return, failure, exception) it restores
// exactly those. Guards nest: what several guards switched off comes back when
// the last of them ends.
class OperationGuard {
  public:
    OperationGuard(OperationHost& host, OperationDisables disables);
    ~OperationGuard();
    OperationGuard(const OperationGuard&) = delete;
    OperationGuard& operator=(const OperationGuard&) = delete;

  private:
    OperationHost& host_;
    OperationDisables disables_;
};

// Lets the background connection test run for its lifetime even while guards
// hold it off: a device restarting under a long operation must be found and
// identified again. On every way out the test is held off again if a guard
// still wants it so.
class LinkCheckWindow {
  public:
    explicit LinkCheckWindow(OperationHost& host);
    ~LinkCheckWindow();
    LinkCheckWindow(const LinkCheckWindow&) = delete;
    LinkCheckWindow& operator=(const LinkCheckWindow&) = delete;

  private:
    OperationHost& host_;
};
