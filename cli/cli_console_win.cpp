#include "cli/cli_console.h"

#include <windows.h>

#include <shellapi.h>

#include "base/wide_text.h"

ConsoleArguments::ConsoleArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr) {
        for (int i = 0; i < count; ++i) {
            texts_.push_back(Utf8FromWide(wide[i]));
        }
        LocalFree(wide);
    } else {
        texts_.assign(argv, argv + argc);
    }
    SetConsoleOutputCP(CP_UTF8);
    Point();
}
