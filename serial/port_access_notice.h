#pragma once

#include <optional>
#include <set>
#include <string>

#include "serial/port_diagnosis.h"

// The status panel's "No access to port COM<n>": said once when the scan finds
// a port this user may not open, not at every retry of the scan.
class PortAccessNotice {
  public:
    // The status text when `problem` is a refused permission and this port has
    // not been reported yet; none otherwise.
    std::optional<std::string> Refused(int port, PortProblem problem);
    // The port went away or opened: a later refusal is reported again.
    void Forget(int port);

  private:
    std::set<int> reported_;
};
