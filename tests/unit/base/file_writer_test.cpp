#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/file_writer.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Names up to the file system's 255-byte limit are saved, new or replacing,
// and only the target is left in the folder.
TEST(FileWriter, ANameAtTheLengthLimitIsWrittenAndNothingElseRemains) {
    TempDir folder;
    for (const std::size_t length : {250u, 255u}) {
        const std::string name = std::string(length - 4, 'h') + ".csv";
        const std::string path = folder.Path() + "/" + name;
        for (const std::string content : {"first\r\n", "second\r\n"}) {
            ASSERT_EQ(ReplaceFileContent(path, content), ReplaceFailure::None) << length;
            EXPECT_EQ(FileText(path), content);
            EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{name});
        }
        std::filesystem::remove(path);
    }
}

TEST(FileWriter, AFailedReplacementLeavesTheFolderAsItWas) {
    TempDir folder;
    const std::string target = folder.Path() + "/taken";
    std::filesystem::create_directory(target);
    std::ofstream(target + "/inside") << "kept";
    EXPECT_EQ(ReplaceFileContent(target, "new"), ReplaceFailure::Replace);
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"taken"});
    EXPECT_EQ(FileText(target + "/inside"), "kept");
}

}  // namespace
