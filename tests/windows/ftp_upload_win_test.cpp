#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "support/file_text.h"
#include "support/temp_dir.h"
#include "upload/log_report.h"
#include "upload/wininet_ftp_client.h"

// Against the FTP server that tests/windows/start_ftp_server runs natively
// next to wine; these tests fail when its variables are missing.
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::uint32_t kTimeLimitMs = 10000;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

long Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<long>(std::count(lines.begin(), lines.end(), line));
}

// A loopback port that is bound, so nobody else takes it, and that either
// refuses connections (not listening) or takes them and never answers.
class ReservedPort {
  public:
    explicit ReservedPort(bool listening) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        bind(socket_, reinterpret_cast<sockaddr*>(&address), size);
        if (listening) {
            listen(socket_, 4);
        }
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~ReservedPort() {
        closesocket(socket_);
        WSACleanup();
    }
    int Port() const { return port_; }

  private:
    SOCKET socket_ = INVALID_SOCKET;
    int port_ = 0;
};

class MapOptions : public UploadOptionsSource {
  public:
    explicit MapOptions(std::map<std::string, std::string> values) : values_(std::move(values)) {}
    std::optional<std::string> ReadString(const std::string& name) override {
        const auto found = values_.find(name);
        return found != values_.end() ? std::optional(found->second) : std::nullopt;
    }

  private:
    std::map<std::string, std::string> values_;
};

class WinInetFtpUpload : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"DRAVO_TEST_FTP_PORT", "DRAVO_TEST_FTP_USER", "DRAVO_TEST_FTP_PASSWORD",
              "DRAVO_TEST_FTP_HOME", "DRAVO_TEST_FTP_TRANSCRIPT"}) {
            ASSERT_FALSE(Variable(name).empty())
                << name << " is not set: start the server with "
                << "eval \"$(tests/windows/start_ftp_server FOLDER)\"";
        }
        account_ = {"127.0.0.1", std::atoi(Variable("DRAVO_TEST_FTP_PORT").c_str()),
                    Variable("DRAVO_TEST_FTP_USER"), Variable("DRAVO_TEST_FTP_PASSWORD"), ""};
        home_ = Variable("DRAVO_TEST_FTP_HOME");
        // Each test works below a folder of its own, new on every run.
        folder_ =
            std::string("win-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(Home(folder_));
        transcriptStart_ = Transcript().size();
    }

    // The path through wine's drive Z: of `relative` (backslash-separated) on the server.
    std::string Home(const std::string& relative) const { return home_ + "\\" + relative; }

    // The commands the server received, "plain CMD args", PASS without its argument.
    static std::vector<std::string> Transcript() {
        return FileLines(Variable("DRAVO_TEST_FTP_TRANSCRIPT"));
    }
    // Those received since the test began.
    std::vector<std::string> TranscriptOfTest() const {
        const std::vector<std::string> all = Transcript();
        return {all.begin() + static_cast<long>(std::min(transcriptStart_, all.size())), all.end()};
    }

    FtpAccount account_;
    std::string home_;
    std::string folder_;
    std::size_t transcriptStart_ = 0;
};

TEST_F(WinInetFtpUpload, MissingDirectoriesAreMadeAndExistingOnesEntered) {
    WinInetFtpClient client(account_);

    const FtpResult first = client.MakeDirectories({folder_, "a", "b"}, kTimeLimitMs);
    ASSERT_TRUE(first.Ok()) << first.detail;
    EXPECT_TRUE(std::filesystem::is_directory(Home(folder_ + "\\a\\b")));
    const auto made = TranscriptOfTest();
    for (const std::string& name : {folder_, std::string("a"), std::string("b")}) {
        EXPECT_EQ(Count(made, "plain MKD " + name), 1) << name;
    }

    const FtpResult again = client.MakeDirectories({folder_, "a", "c"}, kTimeLimitMs);
    ASSERT_TRUE(again.Ok()) << again.detail;
    EXPECT_TRUE(std::filesystem::is_directory(Home(folder_ + "\\a\\c")));
    const auto both = TranscriptOfTest();
    const std::vector<std::string> second(both.begin() + static_cast<long>(made.size()),
                                          both.end());
    EXPECT_EQ(Count(second, "plain CWD " + folder_), 1);
    EXPECT_EQ(Count(second, "plain CWD a"), 1);
    EXPECT_EQ(Count(second, "plain MKD " + folder_), 0);
    EXPECT_EQ(Count(second, "plain MKD a"), 0);
    EXPECT_EQ(Count(second, "plain MKD c"), 1);
}

TEST_F(WinInetFtpUpload, AppendMakesTheFileThenAddsToItByteForByte) {
    WinInetFtpClient client(account_);
    ASSERT_TRUE(client.MakeDirectories({folder_, "d"}, kTimeLimitMs).Ok());
    // Line ends, a zero byte and bytes above 127 must arrive untouched.
    const std::string first("first\r\nsecond\n\0\x01\xfe\xff", 18);
    const std::string second = "and more\n";

    const FtpResult created = client.AppendFile({folder_, "d"}, "rep.txt", first, kTimeLimitMs, {});
    ASSERT_TRUE(created.Ok()) << created.detail;
    EXPECT_EQ(FileText(Home(folder_ + "\\d\\rep.txt")), first);
    const FtpResult extended =
        client.AppendFile({folder_, "d"}, "rep.txt", second, kTimeLimitMs, {});
    ASSERT_TRUE(extended.Ok()) << extended.detail;
    EXPECT_EQ(FileText(Home(folder_ + "\\d\\rep.txt")), first + second);

    const auto transcript = TranscriptOfTest();
    EXPECT_EQ(Count(transcript, "plain TYPE L 8"), 2);
    EXPECT_EQ(Count(transcript, "plain APPE rep.txt"), 2);
    EXPECT_EQ(Count(transcript, "plain MKD d"), 1);  // the MakeDirectories call's only
}

TEST_F(WinInetFtpUpload, AppendIntoAMissingDirectoryFailsThereAndMakesNone) {
    WinInetFtpClient client(account_);

    const FtpResult result =
        client.AppendFile({folder_, "missing"}, "rep.txt", "log\n", kTimeLimitMs, {});
    EXPECT_EQ(result.failure, FtpFailure::Directory);
    EXPECT_NE(result.detail.find("CWD " + folder_), std::string::npos) << result.detail;
    EXPECT_NE(result.detail.find("550"), std::string::npos) << result.detail;
    EXPECT_FALSE(std::filesystem::exists(Home(folder_)));
    for (const std::string& line : TranscriptOfTest()) {
        EXPECT_NE(line.rfind("plain MKD", 0), 0u) << line;
        EXPECT_NE(line.rfind("plain APPE", 0), 0u) << line;
    }
}

TEST_F(WinInetFtpUpload, RefusedAppendFailsAsAnAppendWithTheServersReply) {
    WinInetFtpClient client(account_);
    ASSERT_TRUE(client.MakeDirectories({folder_, "taken"}, kTimeLimitMs).Ok());

    // A directory of that name is there: the server cannot append to it.
    const FtpResult result = client.AppendFile({folder_}, "taken", "log\n", kTimeLimitMs, {});
    EXPECT_EQ(result.failure, FtpFailure::Append);
    EXPECT_NE(result.detail.find("APPE taken"), std::string::npos) << result.detail;
    EXPECT_NE(result.detail.find("550"), std::string::npos) << result.detail;
    EXPECT_TRUE(std::filesystem::is_directory(Home(folder_ + "\\taken")));
}

TEST_F(WinInetFtpUpload, WrongPasswordFailsAtTheLoginWithoutThePasswordInTheDetail) {
    FtpAccount account = account_;
    account.password = "Wrong-Pw-4711";
    WinInetFtpClient client(account);

    const FtpResult made = client.MakeDirectories({folder_}, kTimeLimitMs);
    EXPECT_EQ(made.failure, FtpFailure::Connection);
    EXPECT_NE(made.detail.find("530"), std::string::npos) << made.detail;
    EXPECT_EQ(made.detail.find('\0'), std::string::npos) << made.detail;
    const FtpResult appended = client.AppendFile({}, "rep.txt", "log\n", kTimeLimitMs, {});
    EXPECT_EQ(appended.failure, FtpFailure::Connection);
    for (const FtpResult& result : {made, appended}) {
        EXPECT_EQ(result.detail.find(account.password), std::string::npos) << result.detail;
        EXPECT_EQ(result.detail.find(account_.password), std::string::npos) << result.detail;
    }
    EXPECT_FALSE(std::filesystem::exists(Home(folder_)));
}

TEST_F(WinInetFtpUpload, RefusedConnectionFailsAtOnce) {
    const ReservedPort closed(false);
    FtpAccount account = account_;
    account.port = closed.Port();
    WinInetFtpClient client(account);

    const auto start = Clock::now();
    const FtpResult result = client.MakeDirectories({folder_}, kTimeLimitMs);
    EXPECT_LT(Clock::now() - start, milliseconds(3000));
    EXPECT_EQ(result.failure, FtpFailure::Connection);
    EXPECT_FALSE(result.detail.empty());
}

TEST_F(WinInetFtpUpload, ServerThatNeverAnswersIsLeftAtTheTimeLimit) {
    const ReservedPort silent(true);
    FtpAccount account = account_;
    account.port = silent.Port();
    WinInetFtpClient client(account);

    const auto start = Clock::now();
    const FtpResult result = client.AppendFile({}, "rep.txt", "log\n", 1000, {});
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, milliseconds(900));
    EXPECT_LT(elapsed, milliseconds(2500));
    EXPECT_EQ(result.failure, FtpFailure::Connection);
    EXPECT_NE(result.detail.find("time limit"), std::string::npos) << result.detail;
}

TEST_F(WinInetFtpUpload, BytesSentAreToldUpToTheContentSize) {
    WinInetFtpClient client(account_);
    ASSERT_TRUE(client.MakeDirectories({folder_}, kTimeLimitMs).Ok());
    std::string content;
    for (int line = 0; content.size() < 100000; ++line) {
        content += "line " + std::to_string(line) + "\r\n";
    }
    std::vector<std::uint64_t> told;

    const FtpResult result =
        client.AppendFile({folder_}, "big.txt", content, kTimeLimitMs,
                          [&told](std::uint64_t sent) { told.push_back(sent); });
    ASSERT_TRUE(result.Ok()) << result.detail;
    ASSERT_GT(told.size(), 1u);  // in pieces, not at the end only
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), content.size());
    EXPECT_EQ(FileText(Home(folder_ + "\\big.txt")), content);
}

TEST_F(WinInetFtpUpload, UploadLogFilePutsTheLogAtTheDevicesReportPath) {
    const std::string report = Home("log5\\1_23\\45xxx\\6xx\\rep.txt");
    std::filesystem::remove(report);
    TempDir folder;
    const std::string logFile = folder.Path() + "\\log.txt";
    const std::string text = "ERROR=[0]-\"something\"\r\nconnected\r\n";
    { std::ofstream(logFile, std::ios::binary) << text; }
    // The port rides on the host, as the options file may write it.
    MapOptions options({{"Host", "127.0.0.1:" + std::to_string(account_.port)},
                        {"User", account_.user},
                        {"Password", account_.password}});
    const UploadConfig config = ReadUploadConfig(options);
    ASSERT_TRUE(config.problem.empty()) << config.problem;
    AppLog log;
    std::vector<int> progress;
    const UploadFeedback feedback{nullptr,
                                  [&progress](int percent) { progress.push_back(percent); }};

    EXPECT_EQ(UploadLogFile(config, logFile, "12345678", feedback, log), UploadOutcome::Sent)
        << log.Text();
    EXPECT_EQ(FileText(report), text);
    EXPECT_TRUE(log.Lines().empty()) << log.Text();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
}

}  // namespace
