#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include "base/device_worker.h"

// Runs the Qt loop until the worker has run every job posted to it and this
// thread has run what the jobs handed back (boxes included). False when
// `limitMs` passed first.
inline bool Settle(DeviceWorker& worker, int limitMs = 60000) {
    const QDeadlineTimer deadline(limitMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (worker.Idle()) {
            // What the last job posted went out before it counted as ended.
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            if (worker.Idle()) {
                return true;
            }
        }
    }
    return false;
}
