#pragma once

#include <iostream>

#include "base/dialogs.h"
#include "cli/cli_report.h"

// Message boxes on the command line: errors, warnings and information on
// standard error, an error also kept as the command's failure; a question is
// answered by --yes, or asked on the terminal, and otherwise declined (which
// the report hears). No input or file dialogs.
class CliDialogs final : public Dialogs {
  public:
    CliDialogs(bool assumeYes, CliReport& report) : assumeYes_(assumeYes), report_(report) {}

    void Error(const std::string& text) override { report_.Fail(text); }
    void Information(const std::string& text) override { report_.Say(text); }
    void Warning(const std::string& text) override { report_.Say(text); }
    bool AskYesNo(const std::string& text) override;
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileName(const std::string&, const std::string&, std::string&) override {
        return false;
    }

  private:
    bool assumeYes_;
    CliReport& report_;
};
