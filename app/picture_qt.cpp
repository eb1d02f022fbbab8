#include "app/picture_qt.h"

#include <QBitmap>
#include <QFile>

#include "app/jpeg_decode.h"

void EnsureShellResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(app_resources);
        return true;
    }();
    (void)registered;
}

QImage LoadJpegPicture(const QString& path) {
    EnsureShellResources();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    RgbImage decoded;
    std::string error;
    if (!DecodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                    static_cast<std::size_t>(bytes.size()), decoded, error)) {
        qWarning("picture %s not shown: %s", qPrintable(path), error.c_str());
        return {};
    }
    QImage image(decoded.width, decoded.height, QImage::Format_RGB888);
    const std::size_t stride = static_cast<std::size_t>(decoded.width) * 3;
    for (int row = 0; row < decoded.height; ++row) {
        std::copy_n(decoded.pixels.data() + stride * static_cast<std::size_t>(row), stride,
                    image.scanLine(row));
    }
    return image;
}

QPixmap LoadKeyedPicture(const QString& path) {
    EnsureShellResources();
    QPixmap picture(path);
    if (!picture.isNull()) {
        picture.setMask(picture.createMaskFromColor(Qt::white, Qt::MaskInColor));
    }
    return picture;
}
