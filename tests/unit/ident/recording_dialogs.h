#pragma once

#include <string>
#include <vector>

#include "app/dialogs.h"

// Records every box the code under test shows; questions are answered No.
class RecordingDialogs : public Dialogs {
  public:
    std::vector<std::string> errors;

    void Error(const std::string& text) override { errors.push_back(text); }
    void Information(const std::string& text) override { others.push_back(text); }
    void Warning(const std::string& text) override { others.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        others.push_back(text);
        return false;
    }
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileName(const std::string&, const std::string&, std::string&) override {
        return false;
    }

    std::vector<std::string> others;
};
