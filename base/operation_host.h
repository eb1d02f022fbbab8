#pragma once

#include "base/wait_rules.h"

// The front end a long device operation runs in (the main window, the CLI, a
// test). It says whether the user asked the program to stop, and switches off
// for an operation's run what must not interfere with it: the background
// connection test, the pages, and shows the busy indicator. Operations never
// call the switches themselves: an OperationGuard does, and restores them.
class OperationHost {
  public:
    explicit OperationHost(EventPump pump = {}, DeferToLoop defer = {})
        : waits_(std::move(pump), std::move(defer)) {}
    virtual ~OperationHost() = default;

    // What may run inside the waits of this front end's device exchanges.
    WaitRules& Waits() { return waits_; }

    // An OperationGuard is alive: device traffic from a user action must wait.
    bool OperationRunning() const { return running_ > 0; }
    // Exit, window close, SIGINT or SIGTERM arrived; every wait fails at once.
    bool StopRequested() const { return waits_.StopRequested(); }
    void RequestStop() { waits_.RequestStop(); }

  protected:
    virtual void SetLinkCheckEnabled(bool enabled) = 0;
    virtual void SetPagesEnabled(bool enabled) = 0;
    virtual void SetBusy(bool busy) = 0;

  private:
    friend class OperationGuard;
    friend class LinkCheckWindow;
    int running_ = 0;
    // How many running guards switched each off; restored when it returns to 0.
    int linkCheckOff_ = 0;
    int pagesOff_ = 0;
    int busyOn_ = 0;
    WaitRules waits_;
};

// What an operation switches off for its run.
struct OperationDisables {
    bool linkCheck = true;  // the background connection test stays quiet
    bool pages = true;      // the page control is disabled
    bool busy = false;      // the busy indicator is shown
};

// Marks one long operation for its lifetime, as a frame that stands on the
// device session (see WaitRules): on entry it switches off what
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
    WaitRules::Frame frame_;
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
