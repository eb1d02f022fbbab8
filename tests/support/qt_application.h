#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

// One application for the whole test run, made before the first test unless
// one exists already, and taken down before static destruction, where Qt's
// own objects are already gone. Register it once per test file:
//   [[maybe_unused]] const auto* const env =
//       ::testing::AddGlobalTestEnvironment(new QtApplicationOnce);
class QtApplicationOnce : public ::testing::Environment {
  public:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            owned_ = std::make_unique<QApplication>(argc_, argv_);
        }
    }
    void TearDown() override { owned_.reset(); }

  private:
    int argc_ = 1;
    char name_[9] = "ui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> owned_;
};
