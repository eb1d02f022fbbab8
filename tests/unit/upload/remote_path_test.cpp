#include <gtest/gtest.h>

#include "upload/remote_path.h"

namespace {

using Names = std::vector<std::string>;

TEST(ReportRemotePath, GroupsTheDigitsIntoFolders) {
    EXPECT_EQ(ReportRemotePath("12345678", "log5", "rep.txt"), "log5\\1_23\\45xxx\\6xx\\rep.txt");
    EXPECT_EQ(ReportRemotePath("ABC0DEF9", "log5", "rep.txt"), "log5\\A_BC\\0Dxxx\\Exx\\rep.txt");
}

TEST(ReportRemotePath, DevicesWithoutUsableNumberShareOneFolder) {
    EXPECT_EQ(ReportRemotePath("", "log5", "rep.txt"), "log5\\__no_number\\rep.txt");
    EXPECT_EQ(ReportRemotePath("FFFFFFFF", "log5", "rep.txt"), "log5\\__no_number\\rep.txt");
    EXPECT_EQ(ReportRemotePath("ffffffff", "log5", "rep.txt"), "log5\\__no_number\\rep.txt");
    // One digit short of unprogrammed is a number like any other.
    EXPECT_EQ(ReportRemotePath("FFFFFFFE", "log5", "rep.txt"), "log5\\F_FF\\FFxxx\\Fxx\\rep.txt");
}

TEST(ReportRemotePath, SplitsIntoFoldersAndFile) {
    const std::string path = "log5\\1_23\\45xxx\\6xx\\rep.txt";
    EXPECT_EQ(RemoteDirectories(path), (Names{"log5", "1_23", "45xxx", "6xx"}));
    EXPECT_EQ(RemoteFileName(path), "rep.txt");
    EXPECT_EQ(RemoteDirectories("\\__no_number\\\\rep.txt"), (Names{"__no_number"}));
    EXPECT_EQ(RemoteDirectories("rep.txt"), Names{});
    EXPECT_EQ(RemoteFileName("rep.txt"), "rep.txt");
    EXPECT_EQ(RemoteFileName("log5\\"), "");
}

TEST(ReportRemotePath, DigitsComeFromAnIdentifiedDeviceOnly) {
    DeviceInfo info;
    info.inf1[9] = 0x21;
    info.inf1[10] = 0x43;
    info.inf1[11] = 0x65;
    info.inf1[12] = 0x87;
    EXPECT_EQ(ReportSerialDigits(info), "");
    info.valid = true;
    EXPECT_EQ(ReportSerialDigits(info), "12345678");
}

TEST(ReportRemotePath, SerialTextsGiveTheDigits) {
    EXPECT_EQ(SerialDigitsFromText("123-45678"), "12345678");
    EXPECT_EQ(SerialDigitsFromText("a-bc-def01"), "ABCDEF01");
    EXPECT_EQ(SerialDigitsFromText("ABCDEF01"), "ABCDEF01");
    EXPECT_EQ(SerialDigitsFromText("123-4567"), "");
    EXPECT_EQ(SerialDigitsFromText("123-456789"), "");
    EXPECT_EQ(SerialDigitsFromText("123-4567G"), "");
    EXPECT_EQ(SerialDigitsFromText("../45678"), "");
    EXPECT_EQ(SerialDigitsFromText(""), "");
}

}  // namespace
