#pragma once

#include <filesystem>
#include <string>

#include <stdlib.h>

// A private folder for one test, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dravo-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempDir() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};
