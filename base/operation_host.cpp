#include "base/operation_host.h"

namespace {

// Calls `apply(false)` when the first holder switches a thing off and
// `apply(true)` when the last one lets go.
template <typename Apply>
void Hold(int& holders, bool take, Apply apply) {
    if (take) {
        if (holders++ == 0) {
            apply(false);
        }
    } else if (--holders == 0) {
        apply(true);
    }
}

}  // namespace

OperationGuard::OperationGuard(OperationHost& host, OperationDisables disables)
    : host_(host), disables_(disables) {
    if (disables_.linkCheck) {
        Hold(host_.linkCheckOff_, true, [this](bool on) { host_.SetLinkCheckEnabled(on); });
    }
    if (disables_.pages) {
        Hold(host_.pagesOff_, true, [this](bool on) { host_.SetPagesEnabled(on); });
    }
    if (disables_.busy) {
        Hold(host_.busyOn_, true, [this](bool off) { host_.SetBusy(!off); });
    }
}

OperationGuard::~OperationGuard() {
    if (disables_.busy) {
        Hold(host_.busyOn_, false, [this](bool off) { host_.SetBusy(!off); });
    }
    if (disables_.pages) {
        Hold(host_.pagesOff_, false, [this](bool on) { host_.SetPagesEnabled(on); });
    }
    if (disables_.linkCheck) {
        Hold(host_.linkCheckOff_, false, [this](bool on) { host_.SetLinkCheckEnabled(on); });
    }
}

LinkCheckWindow::LinkCheckWindow(OperationHost& host) : host_(host) {
    if (host_.linkCheckOff_ > 0) {
        host_.SetLinkCheckEnabled(true);
    }
}

LinkCheckWindow::~LinkCheckWindow() {
    if (host_.linkCheckOff_ > 0) {
        host_.SetLinkCheckEnabled(false);
    }
}
