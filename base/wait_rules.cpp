#include "base/wait_rules.h"

#include <utility>

WaitRules::WaitRules(EventPump pump, DeferToLoop defer)
    : pump_(std::move(pump)), defer_(std::move(defer)) {}

WaitRules::Frame::Frame(WaitRules* rules) : rules_(rules) {
    if (rules_ != nullptr) {
        ++rules_->depth_;
    }
}

WaitRules::Frame::~Frame() {
    if (rules_ != nullptr) {
        rules_->FrameEnded();
    }
}

bool WaitRules::Pump(std::chrono::milliseconds maxBlock) {
    if (stopRequested_) {
        return false;
    }
    if (pump_) {
        pump_(maxBlock);
    }
    return !stopRequested_;
}

void WaitRules::WhenNoFrame(std::function<void()> action) {
    if (depth_ > 0) {
        queued_.push_back(std::move(action));
        return;
    }
    action();
}

void WaitRules::RunOutsideFrames(std::function<void()> action) {
    WhenNoFrame([this, action = std::move(action)] {
        if (stopRequested_) {
            return;
        }
        Frame frame(this);
        action();
    });
}

void WaitRules::FrameEnded() {
    if (--depth_ > 0 || queued_.empty()) {
        return;
    }
    // Still inside the caller of the last frame: the actions must not run
    // here, but from the loop, where they are tried again.
    auto actions = std::exchange(queued_, {});
    for (auto& action : actions) {
        auto retry = [this, action = std::move(action)]() mutable {
            WhenNoFrame(std::move(action));
        };
        if (defer_) {
            defer_(std::move(retry));
        } else {
            retry();
        }
    }
}
