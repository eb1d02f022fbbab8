#include "base/language.h"

#include <atomic>

namespace {
std::atomic<Language> current{Language::Russian};
}

Language UiLanguage() {
    return current.load();
}

void SetUiLanguage(Language language) {
    current.store(language);
}

Language LanguageFromOption(int stored) {
    return stored == 2 ? Language::English : Language::Russian;
}

const std::string& PickText(const std::string& russian, const std::string& english) {
    return UiLanguage() == Language::Russian ? russian : english;
}

const char* PickText(const char* russian, const char* english) {
    return UiLanguage() == Language::Russian ? russian : english;
}
