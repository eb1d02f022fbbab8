#include "app/event_pump_qt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

EventPump QtEventPump() {
    return [](std::chrono::milliseconds maxBlock) {
        if (maxBlock.count() <= 0) {
            QCoreApplication::processEvents();
            return;
        }
        // The single-shot wakes the blocked loop when nothing else arrives.
        QTimer::singleShot(maxBlock, QCoreApplication::instance(), [] {});
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    };
}

DeferToLoop QtDeferToLoop() {
    return [](std::function<void()> action) {
        QTimer::singleShot(0, QCoreApplication::instance(), std::move(action));
    };
}
