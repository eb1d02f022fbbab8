#pragma once

#include <functional>

// Hands work to the thread that owns the user interface: the worker reports
// progress, status texts and boxes through it and never touches a widget.
class UiThread {
  public:
    virtual ~UiThread() = default;
    // Queues `action` for the user interface's thread; actions run in order.
    virtual void Post(std::function<void()> action) = 0;
    // The caller runs on the user interface's thread.
    virtual bool IsCurrent() const = 0;
};

// For front ends whose operations run on the thread that shows them (the
// command line): everything runs at once.
class InlineUiThread final : public UiThread {
  public:
    void Post(std::function<void()> action) override { action(); }
    bool IsCurrent() const override { return true; }
};
