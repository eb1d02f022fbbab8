#include "app/about_window.h"

#include <QEvent>
#include <QLabel>

#include "app/banner.h"
#include "app/picture_qt.h"
#include "app/window_geometry.h"
#include "base/language.h"

namespace {

constexpr int kBorder = 2;
constexpr int kVersionTop = 212;
constexpr int kVersionHeight = 41;

QLabel* MakePicture(QWidget* parent, const char* name, const QString& path) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QLatin1String(name));
    picture->setGeometry(kBorder, kBorder, TForm2::kClientWidth, TForm2::kClientHeight);
    picture->setScaledContents(true);
    picture->setPixmap(QPixmap::fromImage(LoadJpegPicture(path)));
    picture->hide();
    return picture;
}

}  // namespace

TForm2::TForm2(QWidget* mainWindow)
    : QFrame(mainWindow, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow),
      imageRus_(MakePicture(this, "Image_RUS", QStringLiteral(":/resources/about_ru.jpg"))),
      imageEng_(MakePicture(this, "Image_ENG", QStringLiteral(":/resources/about_en.jpg"))),
      labelVersion_(new QLabel(QStringLiteral("Version ***"), this)) {
    setObjectName(QStringLiteral("Form2"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(kBorder);
    setFixedSize(kClientWidth + 2 * kBorder, kClientHeight + 2 * kBorder);

    labelVersion_->setObjectName(QStringLiteral("Label_Version"));
    labelVersion_->setGeometry(kBorder, kBorder + kVersionTop, kClientWidth, kVersionHeight);
    labelVersion_->setAlignment(Qt::AlignCenter);
    labelVersion_->setAttribute(Qt::WA_TranslucentBackground);
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    font.setPixelSize(16);
    labelVersion_->setFont(font);

    for (QLabel* clickable : {imageRus_, imageEng_, labelVersion_}) {
        clickable->installEventFilter(this);
    }
}

void TForm2::ShowAbout() {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    labelVersion_->setText(QString::fromUtf8(PickText("Версия", "Version")) +
                           QLatin1String(kAppVersion));
    CentreOverMainWindow();
    show();
    raise();
}

void TForm2::showEvent(QShowEvent* event) {
    aboutShowing_ = true;
    const bool russian = UiLanguage() == Language::Russian;
    imageRus_->setVisible(russian);
    imageEng_->setVisible(!russian);
    QFrame::showEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        Image_RUSClick();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void TForm2::Image_RUSClick() {
    close();
    aboutShowing_ = false;
}

void TForm2::CentreOverMainWindow() {
    const QRect frame = mainWindow_->frameGeometry();
    const ScreenPoint corner =
        CentredOver(frame.x(), frame.y(), frame.width(), frame.height(), width(), height());
    move(corner.x, corner.y);
}
