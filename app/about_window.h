#pragma once

#include <QFrame>

class QLabel;

// The About window: a frameless picture in the interface language with the
// program version, closed by a click.
class TForm2 : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kClientWidth = 516;
    static constexpr int kClientHeight = 363;

    explicit TForm2(QWidget* mainWindow);

    // Sets the version text and shows the window without blocking.
    void ShowAbout();
    bool AboutShowing() const { return aboutShowing_; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Image_RUSClick();
    void CentreOverMainWindow();

    QWidget* mainWindow_;
    QLabel* imageRus_;
    QLabel* imageEng_;
    QLabel* labelVersion_;
    bool aboutShowing_ = false;
};
