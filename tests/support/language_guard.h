#pragma once

#include "base/language.h"

// Sets the interface language for one test and puts the previous one back.
class LanguageGuard {
  public:
    explicit LanguageGuard(Language language) : previous_(UiLanguage()) { SetUiLanguage(language); }
    ~LanguageGuard() { SetUiLanguage(previous_); }
    LanguageGuard(const LanguageGuard&) = delete;
    LanguageGuard& operator=(const LanguageGuard&) = delete;

  private:
    Language previous_;
};
