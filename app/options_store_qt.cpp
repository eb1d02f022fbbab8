#include "app/options_store_qt.h"

#include <QDir>
#include <QSettings>

#include "base/options_path.h"
#include "base/private_file.h"

namespace {

const QString kGroup = QStringLiteral("MANAGER/OPTIONS");

// The window's own options: on Windows in the registry, under
// HKEY_CURRENT_USER\DRAVO\TLX4\MANAGER\OPTIONS; elsewhere in the options
// file the command line reads too.
#ifdef Q_OS_WIN
const QSettings::Format kFormat = QSettings::NativeFormat;
QString Location() {
    return QStringLiteral("HKEY_CURRENT_USER\\DRAVO\\TLX4");
}
#else
const QSettings::Format kFormat = QSettings::IniFormat;
QString Location() {
    return QString::fromStdString(OptionsFilePath());
}
#endif

QString Key(const std::string& name) {
    return kGroup + '/' + QString::fromStdString(name);
}

}  // namespace

QtOptionsStore::QtOptionsStore() : fileName_(Location()) {}

std::optional<int> QtOptionsStore::ReadInt(const std::string& name) {
    QSettings settings(fileName_, kFormat);
    const QVariant value = settings.value(Key(name));
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (settings.status() != QSettings::NoError || !ok) {
        return std::nullopt;
    }
    return number;
}

bool QtOptionsStore::WriteInt(const std::string& name, int value) {
    // The file may hold the upload password; a rewrite keeps the file's mode.
    if (kFormat == QSettings::IniFormat) {
        KeepFilePrivate(fileName_.toStdString());
    }
    QSettings settings(fileName_, kFormat);
    settings.setValue(Key(name), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
