#include "app/options_store_qt.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kGroup = QStringLiteral("MANAGER/OPTIONS");

QString ConfigFolder() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    return configured.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : configured;
}

QString Key(const std::string& name) {
    return kGroup + '/' + QString::fromStdString(name);
}

}  // namespace

QtOptionsStore::QtOptionsStore() : fileName_(ConfigFolder() + QStringLiteral("/DRAVO/TLX4.conf")) {}

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
