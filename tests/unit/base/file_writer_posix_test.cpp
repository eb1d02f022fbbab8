#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_writer.h"
#include "support/temp_dir.h"

namespace {

// A CSV, settings or log file saved where a link stands replaces the link:
// the file it pointed to is never written through it.
TEST(FileWriter, ALinkAtTheTargetIsReplacedNotWrittenThrough) {
    TempDir folder;
    const std::string outside = folder.Path() + "/outside.txt";
    const std::string target = folder.Path() + "/history.csv";
    std::ofstream(outside) << "someone's notes";
    std::filesystem::create_symlink(outside, target);
    ASSERT_EQ(ReplaceFileContent(target, "time;dose\n"), ReplaceFailure::None);
    EXPECT_FALSE(std::filesystem::is_symlink(target));
    std::ifstream written(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "time;dose\n");
    std::ifstream kept(outside);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "someone's notes");
}

}  // namespace
