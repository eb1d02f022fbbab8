#include <gtest/gtest.h>

#include <map>

#include "app/options_store.h"

namespace {

class MemoryOptions : public OptionsStore {
  public:
    std::optional<int> ReadInt(const std::string& name) override {
        const auto found = values.find(name);
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    bool WriteInt(const std::string& name, int value) override {
        values[name] = value;
        return true;
    }
    std::map<std::string, int> values;
};

TEST(RestoredPageIndex, MissingGivesTheFirstPageAndOutOfRangeIsClamped) {
    MemoryOptions options;
    EXPECT_EQ(RestoredPageIndex(options, 6), 0);
    const std::pair<int, int> cases[] = {{3, 3}, {5, 5}, {6, 5}, {1000, 5}, {-1, 0}, {-70000, 0}};
    for (const auto& [stored, expected] : cases) {
        options.values["PAGENUM"] = stored;
        EXPECT_EQ(RestoredPageIndex(options, 6), expected) << "stored " << stored;
    }
}

TEST(RestoredLanguage, OnlyTwoMeansEnglish) {
    MemoryOptions options;
    EXPECT_EQ(RestoredLanguage(options), Language::Russian);
    const std::pair<int, Language> cases[] = {{0, Language::Russian},
                                              {1, Language::Russian},
                                              {2, Language::English},
                                              {3, Language::Russian},
                                              {-2, Language::Russian}};
    for (const auto& [stored, expected] : cases) {
        options.values["LANGUAGE"] = stored;
        EXPECT_EQ(RestoredLanguage(options), expected) << "stored " << stored;
    }
}

}  // namespace
