#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"
#include "upload/ftp_url.h"
#include "upload/ini_options.h"

namespace {

class UploadConfigTest : public ::testing::Test {
  protected:
    UploadConfig Read(const std::string& text) {
        std::ofstream(file_) << text;
        IniGroupOptions options(file_, kUploadGroup);
        return ReadUploadConfig(options);
    }

    TempDir folder_;
    const std::string file_ = folder_.Path() + "/TLX4.conf";
};

TEST_F(UploadConfigTest, MissingValuesTakeTheDefaults) {
    const UploadConfig config = Read("[MANAGER/OPTIONS]\nPAGENUM=2\n");
    EXPECT_FALSE(config.Configured());
    EXPECT_EQ(config.port, 21);
    EXPECT_EQ(config.password, "Upl_40928");
    EXPECT_EQ(config.timeoutSeconds, 10);
    EXPECT_TRUE(config.problem.empty());
}

TEST_F(UploadConfigTest, ReadsItsOwnGroupOnly) {
    const UploadConfig config = Read(
        "[UPLOAD]\n"
        "Host = ftp.example.org\r\n"
        "; a comment\n"
        "Port=2121\n"
        "User=reports\n"
        "Password=\"pass \\\"word\\\" \"\n"
        "TimeoutSeconds=25\n"
        "[OTHER]\n"
        "Host=elsewhere\n");
    EXPECT_TRUE(config.Configured());
    EXPECT_EQ(config.host, "ftp.example.org");
    EXPECT_EQ(config.port, 2121);
    EXPECT_EQ(config.user, "reports");
    EXPECT_EQ(config.password, "pass \"word\" ");
    EXPECT_EQ(config.timeoutSeconds, 25);
    EXPECT_TRUE(config.problem.empty()) << config.problem;
}

TEST_F(UploadConfigTest, TimeoutIsKeptWithinItsRange) {
    EXPECT_EQ(Read("[UPLOAD]\nTimeoutSeconds=0\n").timeoutSeconds, 1);
    EXPECT_EQ(Read("[UPLOAD]\nTimeoutSeconds=-5\n").timeoutSeconds, 1);
    EXPECT_EQ(Read("[UPLOAD]\nTimeoutSeconds=100000\n").timeoutSeconds, 600);
    EXPECT_EQ(Read("[UPLOAD]\nTimeoutSeconds=soon\n").timeoutSeconds, 10);
}

TEST_F(UploadConfigTest, ValuesThatCannotBeSentAsTheyAreAreRefused) {
    const std::string account = "User=reports\n";
    EXPECT_FALSE(Read("[UPLOAD]\nHost=\"ftp example\"\n" + account).problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=ftp.example/x\n" + account).problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=user@ftp\n" + account).problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=ftp\x01x\n" + account).problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=ftp\nUser=\"re ports\"\n").problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=ftp\nUser=re/ports\n").problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=ftp\n").problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=ftp\nPort=0\n" + account).problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=ftp\nPort=70000\n" + account).problem.empty());
    EXPECT_FALSE(Read("[UPLOAD]\nHost=ftp\nPort=21a\n" + account).problem.empty());
    EXPECT_TRUE(Read("[UPLOAD]\nHost=::1\n" + account).problem.empty());

    const UploadConfig injected = Read("[UPLOAD]\nHost=ftp\n" + account + "Password=Zq9\tDELE\n");
    EXPECT_FALSE(injected.problem.empty());
    EXPECT_EQ(injected.problem.find("Zq9"), std::string::npos);
}

// A port may come with the host; the URL's server part is then well formed or
// the host is refused, never an address made of a name and a port.
TEST_F(UploadConfigTest, APortInTheHostReachesTheUrlOrIsRefused) {
    struct Row {
        const char* values;
        const char* authority;  // nullptr: refused
    };
    for (const Row& row : {
             Row{"Host=ftp.example.org:2121\n", "ftp.example.org:2121"},
             Row{"Host=ftp.example.org:2121\nPort=2121\n", "ftp.example.org:2121"},
             Row{"Host=127.0.0.1:2121\n", "127.0.0.1:2121"},
             Row{"Host=ftp\nPort=2121\n", "ftp:2121"},
             Row{"Host=::1\n", "[::1]:21"},
             Row{"Host=::1\nPort=2121\n", "[::1]:2121"},
             Row{"Host=[::1]\n", "[::1]:21"},
             Row{"Host=[2001:db8::7]:2121\n", "[2001:db8::7]:2121"},
             Row{"Host=ftp.example.org:2121\nPort=21\n", nullptr},
             Row{"Host=ftp:\n", nullptr},
             Row{"Host=ftp:ftp\n", nullptr},
             Row{"Host=ftp:0\n", nullptr},
             Row{"Host=ftp:+21\n", nullptr},
             Row{"Host=ftp:70000\n", nullptr},
             Row{"Host=:21\n", nullptr},
             Row{"Host=a:b:c\n", nullptr},
             Row{"Host=[::1\n", nullptr},
             Row{"Host=[::1]x\n", nullptr},
             Row{"Host=[::1]:\n", nullptr},
             Row{"Host=[ftp]\n", nullptr},
             Row{"Host=[]:21\n", nullptr},
         }) {
        const UploadConfig config = Read(std::string("[UPLOAD]\nUser=reports\n") + row.values);
        if (row.authority == nullptr) {
            EXPECT_FALSE(config.problem.empty()) << row.values;
            continue;
        }
        EXPECT_TRUE(config.problem.empty()) << row.values << config.problem;
        EXPECT_EQ(FtpAuthority(config.host, config.port), row.authority) << row.values;
    }
}

}  // namespace
