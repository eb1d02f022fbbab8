#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QTimer;

// The busy indicator: a frameless, always-on-top window over the main window
// that cycles four pictures while a long device operation runs.
class TForm3 : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kClientWidth = 131;
    static constexpr int kClientHeight = 115;

    explicit TForm3(QWidget* mainWindow);

    // 0 hides; any other value shows the indicator centred over the main window,
    // taking values 1..1000 as the animation interval (others keep it).
    void ShowBusy(int intervalMs);
    void HideBusy();

    int FrameIndex() const { return frameIndex_; }
    QTimer* AnimationTimer() const { return timer1_; }

  private:
    void Timer1Timer();
    void Recentre();

    QWidget* mainWindow_;
    std::array<QLabel*, 4> frames_{};
    int frameIndex_ = 0;
    QTimer* timer1_;
};
