#include <QTimer>
#include <cstdio>

#include "app/demo_launch_qt.h"
#include "app/main_window.h"
#include "base/language.h"
#include "protocol/device_session.h"
#include "sim/demo_device.h"

struct DemoLaunch::Device {
    DemoDevice device;
};

DemoLaunch::DemoLaunch() : device_(std::make_unique<Device>()) {}

DemoLaunch::~DemoLaunch() = default;

bool DemoLaunch::Prepare(const LaunchOptions& launch) {
    if (!launch.demo) {
        return true;
    }
    if (!device_->device.PreparePortFolder()) {
        std::fprintf(stderr, "dravo-explorer: --demo: cannot make the demo port folder\n");
        return false;
    }
    return true;
}

void DemoLaunch::StartAfterFirstScan(TForm1& form) {
    auto* poll = new QTimer(&form);
    DemoDevice& demo = device_->device;
    QObject::connect(poll, &QTimer::timeout, &form, [&form, &demo, poll] {
        if (!form.Session().Ports().StartPortsRecorded()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        demo.Start();
        form.Log().AddLine(PickText("Демонстрация: имитатор прибора K310 подключается к COM",
                                    "Demo: a simulated K310 dosimeter is being plugged into COM") +
                           std::to_string(DemoDevice::kPortNumber));
    });
    poll->start(100);
}
