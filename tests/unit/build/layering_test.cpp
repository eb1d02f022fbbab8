#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "support/build_paths.h"

namespace {

namespace fs = std::filesystem;

// The folders bottom-up, and what each may include besides itself. Written
// here once more, apart from the build's own table, so that a change to
// either shows up.
const std::map<std::string, std::set<std::string>>& AllowedBelow() {
    static const std::map<std::string, std::set<std::string>> allowed = [] {
        const std::set<std::string> core = {"base", "serial", "protocol"};
        std::set<std::string> features = core;
        std::map<std::string, std::set<std::string>> table = {
            {"base", {}},
            {"serial", {"base"}},
            {"protocol", {"base", "serial"}},
            {"sim", core},
        };
        for (const char* feature : {"measure", "history", "settings", "firmware", "upload"}) {
            table[feature] = core;
            features.insert(feature);
        }
        table["app"] = features;
        table["app"].insert("sim");  // the demo device
        table["cli"] = features;
        return table;
    }();
    return allowed;
}

// The folder a line's quoted include names ("protocol/frame.h" -> protocol);
// empty for any other line.
std::string IncludedFolder(const std::string& line) {
    const std::size_t hash = line.find_first_not_of(" \t");
    if (hash == std::string::npos || line.compare(hash, 1, "#") != 0) {
        return {};
    }
    const std::size_t word = line.find_first_not_of(" \t", hash + 1);
    if (word == std::string::npos || line.compare(word, 7, "include") != 0) {
        return {};
    }
    const std::size_t quote = line.find('"', word + 7);
    const std::size_t slash = line.find('/', quote);
    if (quote == std::string::npos || slash == std::string::npos) {
        return {};
    }
    return line.substr(quote + 1, slash - quote - 1);
}

TEST(Layering, NoFolderIncludesFromAFolderAboveOrBesideIt) {
    std::vector<std::string> violations;
    std::size_t filesSeen = 0;
    for (const auto& [folder, allowed] : AllowedBelow()) {
        const fs::path root = fs::path(build_paths::SourceDir()) / folder;
        if (!fs::exists(root)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
                continue;
            }
            ++filesSeen;
            std::ifstream file(entry.path());
            std::string line;
            for (int number = 1; std::getline(file, line); ++number) {
                const std::string target = IncludedFolder(line);
                if (!target.empty() && target != folder && AllowedBelow().count(target) != 0 &&
                    allowed.count(target) == 0) {
                    violations.push_back(entry.path().string() + ":" + std::to_string(number) +
                                         " includes " + target + "/");
                }
            }
        }
    }
    EXPECT_GT(filesSeen, 50u) << "the source folders were not found";
    EXPECT_TRUE(violations.empty()) << [&] {
        std::string text;
        for (const auto& violation : violations) {
            text += violation + "\n";
        }
        return text;
    }();
}

}  // namespace
