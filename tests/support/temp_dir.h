#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

// A private folder for one test, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto candidate =
                std::filesystem::temp_directory_path() / ("dravo-test-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate.string();
            }
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
