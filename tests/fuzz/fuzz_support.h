#pragma once

// What the fuzz targets share: a check that aborts (so that libFuzzer keeps
// the input), boxes that answer nothing, and a front end that never stops.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/dialogs.h"
#include "base/operation_host.h"

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

class SilentDialogs : public Dialogs {
  public:
    void Error(const std::string&) override {}
    void Information(const std::string&) override {}
    void Warning(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    bool SaveFileName(const std::string&, const std::string&, std::string&) override {
        return false;
    }
};

class QuietHost : public OperationHost {
  protected:
    void SetLinkCheckEnabled(bool) override {}
    void SetPagesEnabled(bool) override {}
    void SetBusy(bool) override {}
};
