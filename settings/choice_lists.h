#pragma once

#include <string>
#include <vector>

// The choice lists of the settings pages. A list setting's code is the
// position of its choice in the list.
enum class ChoiceList {
    LanguageK310,
    LanguageK520,
    Units,
    Background,
    Dose,
    Brightness,
    TimeOff,  // display off and device off alike
    HistoryMethod,
    AlarmHour,
    AlarmMinute,
    MeasureMethod,
};

int ChoiceCount(ChoiceList list);

// The list's texts in the current interface language. The threshold lists show
// the column of `unitSystem`; the other lists ignore it.
std::vector<std::string> ChoiceItems(ChoiceList list, int unitSystem);
