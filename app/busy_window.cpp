#include "app/busy_window.h"

#include <QLabel>
#include <QTimer>

#include "app/picture_qt.h"
#include "app/window_geometry.h"

namespace {
constexpr int kFrameSize = 81;
constexpr int kFrameOffset = 8;
constexpr int kDesignIntervalMs = 50;
constexpr int kMaxIntervalMs = 1000;
}  // namespace

TForm3::TForm3(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow),
      timer1_(new QTimer(this)) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kClientWidth, kClientHeight);
    for (int index = 0; index < 4; ++index) {
        auto* frame = new QLabel(this);
        frame->setObjectName(QStringLiteral("Image%1").arg(index + 1));
        frame->setGeometry(kFrameOffset, kFrameOffset, kFrameSize, kFrameSize);
        frame->setPixmap(
            LoadKeyedPicture(QStringLiteral(":/resources/busy_%1.png").arg(index + 1)));
        frame->hide();
        frames_[static_cast<std::size_t>(index)] = frame;
    }
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kDesignIntervalMs);
    connect(timer1_, &QTimer::timeout, this, &TForm3::Timer1Timer);
}

void TForm3::ShowBusy(int intervalMs) {
    if (intervalMs == 0) {
        HideBusy();
        return;
    }
    Recentre();
    show();
    if (intervalMs >= 1 && intervalMs <= kMaxIntervalMs) {
        timer1_->setInterval(intervalMs);
    }
    timer1_->start();
}

void TForm3::HideBusy() {
    timer1_->stop();
    hide();
}

void TForm3::Recentre() {
    const QRect frame = mainWindow_->frameGeometry();
    const ScreenPoint corner =
        CentredOver(frame.x(), frame.y(), frame.width(), frame.height(), width(), height());
    move(corner.x, corner.y);
}

void TForm3::Timer1Timer() {
    Recentre();
    frames_[static_cast<std::size_t>(frameIndex_)]->hide();
    frameIndex_ = (frameIndex_ + 1) % 4;
    frames_[static_cast<std::size_t>(frameIndex_)]->show();
}
