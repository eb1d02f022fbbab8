#pragma once

#include <QDir>
#include <QString>

#include "support/build_paths.h"

// Pictures for people to look at go beside the build's programs, in
// build/screenshots; the folder is made on first use.
inline QString ScreenshotPath(const QString& name) {
    QDir dir(QString::fromStdString(build_paths::BinDir()));
    dir.mkpath("../screenshots");
    return dir.filePath("../screenshots/" + name);
}
