#include "app/options_store.h"

int RestoredPageIndex(OptionsStore& options, int pageCount) {
    const int stored = options.ReadInt(kOptionPageNum).value_or(0);
    if (stored >= pageCount) {
        return pageCount - 1;
    }
    return stored < 0 ? 0 : stored;
}

Language RestoredLanguage(OptionsStore& options) {
    return LanguageFromOption(options.ReadInt(kOptionLanguage).value_or(1));
}
