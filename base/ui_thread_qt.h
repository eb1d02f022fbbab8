#pragma once

#include <QObject>

#include "base/ui_thread.h"

// Queued calls to the thread of `context`; dropped once `context` is gone, so
// nothing reaches a window that has been torn down.
class QtUiThread final : public UiThread {
  public:
    explicit QtUiThread(QObject* context) : context_(context) {}
    void Post(std::function<void()> action) override;
    bool IsCurrent() const override;

  private:
    QObject* context_;
};
