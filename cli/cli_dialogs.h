#pragma once

#include <iostream>
#include <vector>

#include "base/dialogs.h"

// Message boxes on the command line: errors, warnings and information on
// standard error; a question is answered by --yes, or asked on the terminal,
// and otherwise declined. No input or file dialogs.
class CliDialogs final : public Dialogs {
  public:
    CliDialogs(bool assumeYes, bool quiet) : assumeYes_(assumeYes), quiet_(quiet) {}

    void Error(const std::string& text) override {
        ++errors_;
        Show(text);
    }
    void Information(const std::string& text) override { Show(text); }
    void Warning(const std::string& text) override { Show(text); }
    bool AskYesNo(const std::string& text) override;
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileName(const std::string&, const std::string&, std::string&) override {
        return false;
    }

    // What a command's operation left behind, for its exit status.
    int Errors() const { return errors_; }
    std::size_t Questions() const { return answers_.size(); }
    // Whether question `index` (0 the first) was asked and answered No.
    bool Declined(std::size_t index) const { return index < answers_.size() && !answers_[index]; }

  private:
    void Show(const std::string& text) const;

    bool assumeYes_;
    bool quiet_;
    int errors_ = 0;
    std::vector<bool> answers_;
};
