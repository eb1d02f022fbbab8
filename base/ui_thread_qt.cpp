#include "base/ui_thread_qt.h"

#include <QThread>

void QtUiThread::Post(std::function<void()> action) {
    QMetaObject::invokeMethod(context_, std::move(action), Qt::QueuedConnection);
}

bool QtUiThread::IsCurrent() const {
    return QThread::currentThread() == context_->thread();
}
