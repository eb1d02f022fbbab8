#pragma once

#include <string>

// What the core needs of message boxes and input dialogs. The Qt layer shows
// real dialogs; tests record the texts and return scripted answers. Texts are
// UTF-8 and keep the program's own "\n\r" line breaks.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual void Error(const std::string& text) = 0;
    virtual void Information(const std::string& text) = 0;
    virtual void Warning(const std::string& text) = 0;
    // Warning box with Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // One-line input; false when cancelled, otherwise `value` holds the text.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;
    // Save-file dialog; false when cancelled, otherwise `fileName` holds the choice.
    virtual bool SaveFileName(const std::string& caption, const std::string& filter,
                              std::string& fileName) = 0;
};
