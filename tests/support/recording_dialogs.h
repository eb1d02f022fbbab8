#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/dialogs.h"

// Records every box the program would show and answers from a script: Yes or
// No to questions, the queued texts to input dialogs (cancel when none is left)
// and `saveAs` to the save dialog (cancel when empty).
class RecordingDialogs : public Dialogs {
  public:
    void Error(const std::string& text) override {
        errors.push_back(text);
        shown.push_back("error:" + text);
    }
    void Information(const std::string& text) override {
        informations.push_back(text);
        shown.push_back("info:" + text);
    }
    void Warning(const std::string& text) override {
        warnings.push_back(text);
        shown.push_back("warning:" + text);
    }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        shown.push_back("ask:" + text);
        return answerYes;
    }
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override {
        captions.push_back(caption);
        prompts.push_back(prompt);
        defaults.push_back(value);
        shown.push_back("input:" + prompt + "[" + value + "]");
        if (inputs.empty()) {
            return false;
        }
        value = inputs.front();
        inputs.pop_front();
        return true;
    }
    bool SaveFileName(const std::string& caption, const std::string&,
                      std::string& fileName) override {
        shown.push_back("save:" + caption);
        if (saveAs.empty()) {
            return false;
        }
        fileName = saveAs;
        return true;
    }

    bool answerYes = false;
    std::deque<std::string> inputs;
    std::string saveAs;

    // Every box in order, as "kind:text".
    std::vector<std::string> shown;
    std::vector<std::string> errors;
    std::vector<std::string> informations;
    std::vector<std::string> warnings;
    std::vector<std::string> questions;
    std::vector<std::string> captions;
    std::vector<std::string> prompts;
    std::vector<std::string> defaults;
};
