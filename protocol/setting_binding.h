#pragma once

#include <cstdint>

// The choice lists of the settings pages. A list setting's code is the
// position of its choice in the list.
enum class ChoiceList {
    LanguageRuEnDePl,
    LanguageEnRu,
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

enum class SettingKind { List, Flag };

// Where a page puts a setting's control.
enum class SettingPlace { ListColumn, SoundGroup, AlarmGroup, RightColumn };

// One setting of one model: its device parameter and how the page shows it.
// The same parameter means different things on different models, so a binding
// belongs to a model's row, never to the id alone.
struct SettingBinding {
    const char* key;  // stable English name in settings files and the CLI
    std::uint16_t parameter;
    SettingKind kind;
    ChoiceList list;  // lists only
    bool inverted;    // flags only: the device stores 0 for on
    SettingPlace place;
    const char* control;  // object-name suffix: ComboBox_Setup_<tag>_<control>
    const char* russian;  // label or check-box caption
    const char* english;
    int defaultCode;  // what Default selects; -1 leaves the setting alone
};
