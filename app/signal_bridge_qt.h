#pragma once

#include <QObject>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal on the GUI thread, so that a
// program asked to stop takes the same shutdown path as "Exit". On Linux the
// handler only writes one byte into a pipe, which the event loop reads; on
// Windows the console's control events stand for the signals.
class SignalBridge : public QObject {
    Q_OBJECT
  public:
    explicit SignalBridge(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~SignalBridge() override;

  signals:
    void Received(int signalNumber);

  private:
    // Linux: reads the pipe's bytes and emits them.
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
    std::vector<int> signalNumbers_;
};
