#include "settings/choice_lists.h"

#include "base/language.h"
#include "settings/threshold_tables.h"

namespace {

struct Choice {
    const char* russian;
    const char* english;
};

constexpr Choice kLanguageRuEnDePl[] = {{"Русский", "Russian"},
                                        {"Английский", "English"},
                                        {"Немецкий", "Deutsch"},
                                        {"Польский", "Polish"}};
constexpr Choice kLanguageEnRu[] = {{"Английский", "English"}, {"Русский", "Russian"}};
constexpr Choice kUnits[] = {{"Зиверт", "Sievert"}, {"Рентген", "Roentgen"}, {"CPM", "CPM"}};
constexpr Choice kHistoryMethod[] = {{"По времени", "On Time"}, {"По изменению", "On Change"}};
constexpr Choice kMeasureMethod[] = {{"Усреднение", "Average"}, {"Быстрое", "Fast"}};

constexpr int kBrightnessSteps = 4;
constexpr int kLongestTimeOff = 60;
constexpr int kHours = 24;
constexpr int kMinutes = 60;

template <std::size_t N>
std::vector<std::string> Picked(const Choice (&choices)[N]) {
    std::vector<std::string> items;
    for (const Choice& choice : choices) {
        items.emplace_back(PickText(choice.russian, choice.english));
    }
    return items;
}

// `count` numbers from `first`, each followed by `suffix`.
std::vector<std::string> Numbers(int first, int count, const std::string& suffix = {}) {
    std::vector<std::string> items;
    for (int n = first; n < first + count; ++n) {
        items.push_back(std::to_string(n) + suffix);
    }
    return items;
}

std::vector<std::string> TimeOffItems() {
    std::vector<std::string> items{PickText("Всегда ВКЛ", "Always ON")};
    for (std::string& item : Numbers(1, kLongestTimeOff, PickText(" минут", " minutes"))) {
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

int ChoiceCount(ChoiceList list) {
    switch (list) {
        case ChoiceList::LanguageRuEnDePl:
            return std::size(kLanguageRuEnDePl);
        case ChoiceList::LanguageEnRu:
            return std::size(kLanguageEnRu);
        case ChoiceList::Units:
            return std::size(kUnits);
        case ChoiceList::Background:
            return kBackgroundRows;
        case ChoiceList::Dose:
            return kDoseRows;
        case ChoiceList::Brightness:
            return kBrightnessSteps;
        case ChoiceList::TimeOff:
            return kLongestTimeOff + 1;
        case ChoiceList::HistoryMethod:
            return std::size(kHistoryMethod);
        case ChoiceList::AlarmHour:
            return kHours;
        case ChoiceList::AlarmMinute:
            return kMinutes;
        case ChoiceList::MeasureMethod:
            return std::size(kMeasureMethod);
    }
    return 0;
}

std::vector<std::string> ChoiceItems(ChoiceList list, int unitSystem) {
    switch (list) {
        case ChoiceList::LanguageRuEnDePl:
            return Picked(kLanguageRuEnDePl);
        case ChoiceList::LanguageEnRu:
            return Picked(kLanguageEnRu);
        case ChoiceList::Units:
            return Picked(kUnits);
        case ChoiceList::Background:
            return ThresholdItems(ThresholdTable::Background, unitSystem);
        case ChoiceList::Dose:
            return ThresholdItems(ThresholdTable::Dose, unitSystem);
        case ChoiceList::Brightness:
            return Numbers(1, kBrightnessSteps);
        case ChoiceList::TimeOff:
            return TimeOffItems();
        case ChoiceList::HistoryMethod:
            return Picked(kHistoryMethod);
        case ChoiceList::AlarmHour:
            return Numbers(0, kHours);
        case ChoiceList::AlarmMinute:
            return Numbers(0, kMinutes);
        case ChoiceList::MeasureMethod:
            return Picked(kMeasureMethod);
    }
    return {};
}
