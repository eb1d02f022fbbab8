#pragma once

#include <cstdint>
#include <string>

// The interface language: 1 Russian, 2 English. Every user-visible text is a
// Russian/English pair chosen at the moment it is shown.
enum class Language : std::uint8_t { Russian = 1, English = 2 };

Language UiLanguage();
void SetUiLanguage(Language language);

// The stored LANGUAGE option: 2 is English, anything else Russian.
Language LanguageFromOption(int stored);

const std::string& PickText(const std::string& russian, const std::string& english);
const char* PickText(const char* russian, const char* english);
