#pragma once

#include <chrono>
#include <functional>
#include <vector>

// Lets the front end's event loop run while a device exchange waits: it
// processes what is pending and, when nothing is, blocks for at most
// `maxBlock`. The window passes one that processes Qt events; the CLI and the
// tests pass one that only waits, or none.
using EventPump = std::function<void(std::chrono::milliseconds maxBlock)>;

// Hands an action to the front end's top-level event loop (a queued call in
// the window). Empty: the action runs at once.
using DeferToLoop = std::function<void(std::function<void()>)>;

// The one rule for what may run inside a device wait.
//
// A wait lets the event loop run, so timer ticks, clicks and a close request
// can run on top of frames that stand on the device session. Therefore:
//  - Every frame that waits on the device or uses the session across a
//    possible event (an exchange, an operation, a timer tick, a user action
//    that talks to the device) holds a Frame for its run.
//  - Nothing a frame uses is destroyed while one is held. A request to stop is
//    recorded with RequestStop; from then on every wait gives up at once, the
//    frames unwind through their failure paths, and the front end tears down
//    from RunOutsideFrames, that is, from the top-level loop.
//  - A user action that starts device traffic goes through RunOutsideFrames:
//    inside another frame it is queued and runs once the last frame ended.
//  - Timer ticks do run inside waits, under their own re-entry guard.
class WaitRules {
  public:
    explicit WaitRules(EventPump pump = {}, DeferToLoop defer = {});
    WaitRules(const WaitRules&) = delete;
    WaitRules& operator=(const WaitRules&) = delete;

    class Frame {
      public:
        // A null `rules` marks nothing, for code run without a front end.
        explicit Frame(WaitRules* rules);
        ~Frame();
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;

      private:
        WaitRules* rules_;
    };

    bool InFrame() const { return depth_ > 0; }
    bool StopRequested() const { return stopRequested_; }
    void RequestStop() { stopRequested_ = true; }

    // Lets the event loop run once. False, without pumping, once a stop was
    // requested: the caller's wait must give up.
    bool Pump(std::chrono::milliseconds maxBlock = std::chrono::milliseconds(0));

    // Runs `action` now when no frame is held; otherwise queues it, and once
    // the last frame has ended hands it to the top-level loop, which tries
    // again. For the front end's own teardown.
    void WhenNoFrame(std::function<void()> action);
    // A user action that talks to the device: as WhenNoFrame, under a Frame of
    // its own, and dropped once a stop was requested.
    void RunOutsideFrames(std::function<void()> action);

  private:
    void FrameEnded();

    EventPump pump_;
    DeferToLoop defer_;
    int depth_ = 0;
    bool stopRequested_ = false;
    std::vector<std::function<void()>> queued_;
};
