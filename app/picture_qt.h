#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// Registers the shell's pictures. They live in a static library, whose
// resource initialiser the linker drops unless something refers to it.
void EnsureShellResources();

// A JPEG resource decoded with libjpeg; a null image when missing or damaged.
QImage LoadJpegPicture(const QString& path);

// A picture whose white pixels are see-through, as the busy indicator's frames
// use white as their transparent colour key. Null when the file is missing.
QPixmap LoadKeyedPicture(const QString& path);
