#include <cstdio>

#include "app/demo_launch_qt.h"

struct DemoLaunch::Device {};

DemoLaunch::DemoLaunch() = default;

DemoLaunch::~DemoLaunch() = default;

bool DemoLaunch::Prepare(const LaunchOptions& launch) {
    if (launch.demo) {
        std::fprintf(stderr,
                     "dravo-explorer: --demo needs a pseudo-terminal, which Windows lacks; run "
                     "the demonstration on Linux\n");
        return false;
    }
    return true;
}

void DemoLaunch::StartAfterFirstScan(TForm1&) {}
