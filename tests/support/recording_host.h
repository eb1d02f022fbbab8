#pragma once

#include <string>
#include <vector>

#include "base/operation_host.h"

// An operation host that keeps the switches' state and the order they were
// flipped in, for tests of operations and their guards.
class RecordingHost : public OperationHost {
  public:
    bool linkCheckEnabled = true;
    bool pagesEnabled = true;
    bool busy = false;
    std::vector<std::string> calls;

  protected:
    void SetLinkCheckEnabled(bool enabled) override {
        linkCheckEnabled = enabled;
        calls.push_back(enabled ? "link-check on" : "link-check off");
    }
    void SetPagesEnabled(bool enabled) override {
        pagesEnabled = enabled;
        calls.push_back(enabled ? "pages on" : "pages off");
    }
    void SetBusy(bool on) override {
        busy = on;
        calls.push_back(on ? "busy on" : "busy off");
    }
};
