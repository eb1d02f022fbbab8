#include "sim/demo_device.h"

// Windows has no pseudo-terminals: the device is plugged in on a line in
// memory, listed as a port of this process, and needs no folder.
bool DemoDevice::PreparePortFolder() {
    return true;
}
