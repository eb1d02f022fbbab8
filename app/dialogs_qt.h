#pragma once

#include <QString>

#include "base/dialogs.h"

class QWidget;

// The program's own "\n\r" (and "\r\n") breaks become one line break on screen.
QString DisplayText(const std::string& text);

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Error(const std::string& text) override;
    void Information(const std::string& text) override;
    void Warning(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    bool SaveFileName(const std::string& caption, const std::string& filter,
                      std::string& fileName) override;

  private:
    QWidget* parent_;
};
