#pragma once

#include <QString>

#include "app/options_store.h"

// The options as an INI file DRAVO/TLX4.conf in the user's configuration folder
// (XDG_CONFIG_HOME, else ~/.config), group MANAGER/OPTIONS.
class QtOptionsStore : public OptionsStore {
  public:
    QtOptionsStore();
    explicit QtOptionsStore(QString fileName) : fileName_(std::move(fileName)) {}

    std::optional<int> ReadInt(const std::string& name) override;
    bool WriteInt(const std::string& name, int value) override;
    const QString& FileName() const { return fileName_; }

  private:
    QString fileName_;
};
