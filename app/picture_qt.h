#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// A JPEG resource decoded with libjpeg; a null image when missing or damaged.
QImage LoadJpegPicture(const QString& path);

// A picture whose white pixels are see-through, as the busy indicator's frames
// use white as their transparent colour key. Null when the file is missing.
QPixmap LoadKeyedPicture(const QString& path);
