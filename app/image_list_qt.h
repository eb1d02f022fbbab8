#pragma once

#include <QIcon>
#include <QVector>

class QAction;

// The main menu's 16 x 16 pictures, by index. A missing picture is an empty icon.
class ImageList {
  public:
    static constexpr int kExit = 0;
    static constexpr int kShowLog = 2;
    static constexpr int kHideLog = 3;
    static constexpr int kClearLog = 4;
    static constexpr int kSourceInternet = 6;
    static constexpr int kSourceLocal = 8;
    static constexpr int kRussian = 10;
    static constexpr int kEnglish = 11;

    ImageList();
    QIcon Icon(int index) const;

  private:
    QVector<QIcon> icons_;
};

// Gives the action the picture and records the index as its "imageIndex" property.
void SetImageIndex(QAction* action, const ImageList& images, int index);
int ImageIndexOf(const QAction* action);
