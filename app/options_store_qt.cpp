#include "app/options_store_qt.h"

#include <QDir>
#include <QSettings>

#include "base/options_path.h"

namespace {

const QString kGroup = QStringLiteral("MANAGER/OPTIONS");

QString Key(const std::string& name) {
    return kGroup + '/' + QString::fromStdString(name);
}

}  // namespace

QtOptionsStore::QtOptionsStore() : fileName_(QString::fromStdString(OptionsFilePath())) {}

std::optional<int> QtOptionsStore::ReadInt(const std::string& name) {
    QSettings settings(fileName_, QSettings::IniFormat);
    const QVariant value = settings.value(Key(name));
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (settings.status() != QSettings::NoError || !ok) {
        return std::nullopt;
    }
    return number;
}

bool QtOptionsStore::WriteInt(const std::string& name, int value) {
    QSettings settings(fileName_, QSettings::IniFormat);
    settings.setValue(Key(name), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
