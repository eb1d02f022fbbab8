#include "app/image_list_qt.h"

#include <QAction>
#include <QFile>

#include "app/picture_qt.h"

namespace {
constexpr int kImageCount = 12;
const char* const kImageIndexProperty = "imageIndex";
}  // namespace

ImageList::ImageList() {
    EnsureShellResources();
    for (int index = 0; index < kImageCount; ++index) {
        const QString path =
            QStringLiteral(":/resources/icons/icon_%1.png").arg(index, 2, 10, QLatin1Char('0'));
        icons_.append(QFile::exists(path) ? QIcon(path) : QIcon());
    }
}

QIcon ImageList::Icon(int index) const {
    return icons_.value(index);
}

void SetImageIndex(QAction* action, const ImageList& images, int index) {
    action->setProperty(kImageIndexProperty, index);
    action->setIcon(images.Icon(index));
}

int ImageIndexOf(const QAction* action) {
    const QVariant index = action->property(kImageIndexProperty);
    return index.isValid() ? index.toInt() : -1;
}
