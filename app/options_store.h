#pragma once

#include <optional>
#include <string>

#include "base/language.h"

// The two persisted options. Reading gives nothing for a missing or unreadable
// value; writing reports failure, which callers are free to ignore.
class OptionsStore {
  public:
    virtual ~OptionsStore() = default;
    virtual std::optional<int> ReadInt(const std::string& name) = 0;
    virtual bool WriteInt(const std::string& name, int value) = 0;
};

inline constexpr const char* kOptionPageNum = "PAGENUM";
inline constexpr const char* kOptionLanguage = "LANGUAGE";

// The page to activate at start: missing gives the first page, an index past the
// end the last one, a negative index the first one.
int RestoredPageIndex(OptionsStore& options, int pageCount);

Language RestoredLanguage(OptionsStore& options);
