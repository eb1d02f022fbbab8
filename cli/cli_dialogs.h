#pragma once

#include <iostream>

#include "base/dialogs.h"

// Message boxes on the command line: errors, warnings and information on
// standard error; a question is answered by --yes, or asked on the terminal,
// and otherwise declined. No input or file dialogs.
class CliDialogs final : public Dialogs {
  public:
    CliDialogs(bool assumeYes, bool quiet) : assumeYes_(assumeYes), quiet_(quiet) {}

    void Error(const std::string& text) override { Show(text); }
    void Information(const std::string& text) override { Show(text); }
    void Warning(const std::string& text) override { Show(text); }
    bool AskYesNo(const std::string& text) override;
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileName(const std::string&, const std::string&, std::string&) override {
        return false;
    }

  private:
    void Show(const std::string& text) const;

    bool assumeYes_;
    bool quiet_;
};
