#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>

#include "ftp_test_server.h"
#include "support/log_lines.h"
#include "support/temp_dir.h"
#include "upload/log_report.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kDeviceFolder = "/log5/1_23/45xxx/6xx/rep.txt";
constexpr const char* kNoConnectionLine =
    "ERROR=[0]-\"Ошибка: Нет соединения с сервером обновлений\"";

UploadConfig ConfigFor(int port, const FtpTestServer::Options& account, int timeoutSeconds = 10) {
    UploadConfig config;
    config.host = "127.0.0.1";
    config.port = port;
    config.user = account.user;
    config.password = account.password;
    config.timeoutSeconds = timeoutSeconds;
    return config;
}

// The server's account, trusting its certificate when it offers TLS.
UploadConfig ConfigFor(const FtpTestServer& server) {
    UploadConfig config = ConfigFor(server.Port(), server.Account());
    if (server.Account().tls) {
        config.caFile = server.CertificateFile();
    }
    return config;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

long CountStarting(const std::vector<std::string>& lines, const std::string& start) {
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

// A loopback socket that is bound, so nobody else takes its port, and that
// either refuses connections (not listening) or takes them and never answers.
class SilentPort {
  public:
    explicit SilentPort(bool listening) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(fd_, reinterpret_cast<sockaddr*>(&address), size);
        if (listening) {
            listen(fd_, 4);
        }
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~SilentPort() { close(fd_); }
    int Port() const { return port_; }

  private:
    int fd_;
    int port_ = 0;
};

class ReportUploadOverFtp : public ::testing::Test {
  protected:
    // Writes `text` as the saved log and uploads it at exit for device 123-45678.
    UploadOutcome UploadAtExit(const UploadConfig& config, const std::string& text) {
        { std::ofstream(logFile_, std::ios::binary) << text; }
        const auto start = Clock::now();
        const UploadOutcome outcome =
            UploadLogReport(config, logFile_, "12345678", feedback_, log_);
        elapsed_ = Clock::now() - start;
        return outcome;
    }

    TempDir folder_;
    const std::string logFile_ = folder_.Path() + "/log.txt";
    AppLog log_;
    std::vector<std::string> statuses_;
    std::vector<int> progress_;
    UploadFeedback feedback_{[this](const std::string& text) { statuses_.push_back(text); },
                             [this](int percent) { progress_.push_back(percent); }};
    Clock::duration elapsed_{};
};

TEST_F(ReportUploadOverFtp, FirstRunMakesTheFoldersAndTheNextAppendsWithoutMakingThem) {
    FtpTestServer server({});
    ASSERT_TRUE(server.Running()) << server.Error();
    const UploadConfig config = ConfigFor(server);

    EXPECT_EQ(UploadAtExit(config, "first run\n"), UploadOutcome::Sent);
    const auto firstRun = server.Transcript();
    EXPECT_EQ(FileText(server.Home() + kDeviceFolder), "first run\n");
    for (const char* made : {"MKD log5", "MKD 1_23", "MKD 45xxx", "MKD 6xx"}) {
        EXPECT_TRUE(Has(firstRun, std::string("plain ") + made)) << made;
    }
    // The server refused TLS, so the login went in clear text.
    EXPECT_TRUE(Has(firstRun, "plain AUTH TLS"));
    EXPECT_TRUE(Has(firstRun, "plain PASS"));
    EXPECT_TRUE(Has(firstRun, "plain TYPE L 8"));
    EXPECT_TRUE(Has(firstRun, "plain PASV"));
    EXPECT_TRUE(Has(firstRun, "plain APPE rep.txt"));
    EXPECT_EQ(statuses_, (std::vector<std::string>{"Добавление на сервер", ""}));
    ASSERT_FALSE(progress_.empty());
    EXPECT_EQ(progress_.back(), 100);

    EXPECT_EQ(UploadAtExit(config, "second run\n"), UploadOutcome::Sent);
    const auto bothRuns = server.Transcript();
    const std::vector<std::string> secondRun(bothRuns.begin() + firstRun.size(), bothRuns.end());
    EXPECT_EQ(FileText(server.Home() + kDeviceFolder), "first run\nsecond run\n");
    EXPECT_EQ(CountStarting(secondRun, "plain MKD"), 0);
    EXPECT_EQ(CountStarting(secondRun, "plain CWD 6xx"), 2);  // the folder step and the attempt
    // A success adds nothing to the saved log.
    EXPECT_EQ(FileText(logFile_), "second run\n");
    EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(ReportUploadOverFtp, WrongPasswordFailsAtTheLoginAndLeavesTheReasonInTheSavedLog) {
    FtpTestServer server({});
    ASSERT_TRUE(server.Running()) << server.Error();
    UploadConfig config = ConfigFor(server);
    config.password = "Not-The-Password";

    EXPECT_EQ(UploadAtExit(config, "log\n"), UploadOutcome::Failed);
    EXPECT_LT(elapsed_, std::chrono::seconds(config.timeoutSeconds));
    const auto transcript = server.Transcript();
    EXPECT_EQ(CountStarting(transcript, "plain PASS"), 1);
    EXPECT_EQ(CountStarting(transcript, "plain MKD"), 0);
    EXPECT_EQ(CountStarting(transcript, "plain APPE"), 0);
    ASSERT_FALSE(log_.Lines().empty());
    EXPECT_EQ(log_.Lines().front(), kNoConnectionLine);
    EXPECT_EQ(FileText(logFile_), "log\n" + log_.Text());
    EXPECT_EQ(log_.Text().find(config.password), std::string::npos);
    EXPECT_TRUE(statuses_.empty());
}

TEST_F(ReportUploadOverFtp, RefusedConnectionEndsAtOnce) {
    const SilentPort closed(false);
    const UploadConfig config = ConfigFor(closed.Port(), {});

    EXPECT_EQ(UploadAtExit(config, "log\n"), UploadOutcome::Failed);
    EXPECT_LT(elapsed_, std::chrono::seconds(config.timeoutSeconds));
    ASSERT_FALSE(log_.Lines().empty());
    EXPECT_EQ(log_.Lines().front(), kNoConnectionLine);
}

TEST_F(ReportUploadOverFtp, ServerThatNeverAnswersIsLeftWhenTheTimeoutRunsOut) {
    const SilentPort silent(true);
    const UploadConfig config = ConfigFor(silent.Port(), {}, 1);

    EXPECT_EQ(UploadAtExit(config, "log\n"), UploadOutcome::Failed);
    EXPECT_GE(elapsed_, std::chrono::milliseconds(900));
    EXPECT_LT(elapsed_, std::chrono::milliseconds(2500));
    ASSERT_FALSE(log_.Lines().empty());
    EXPECT_EQ(log_.Lines().front(), kNoConnectionLine);
}

TEST_F(ReportUploadOverFtp, RefusedFolderCreationMakesNoAttempt) {
    FtpTestServer server({.permissions = "elradfw"});
    ASSERT_TRUE(server.Running()) << server.Error();

    EXPECT_EQ(UploadAtExit(ConfigFor(server), "log\n"), UploadOutcome::Failed);
    EXPECT_TRUE(Has(server.Transcript(), "plain MKD log5"));
    EXPECT_EQ(CountStarting(server.Transcript(), "plain APPE"), 0);
    ASSERT_FALSE(log_.Lines().empty());
    EXPECT_EQ(log_.Lines().front(), "ERROR=[0]-\"Ошибка FTP: не создан каталог\"");
    EXPECT_TRUE(statuses_.empty());
}

TEST_F(ReportUploadOverFtp, RefusedAppendIsTriedThreeTimes) {
    FtpTestServer server({.permissions = "elrdfmw"});
    ASSERT_TRUE(server.Running()) << server.Error();

    EXPECT_EQ(UploadAtExit(ConfigFor(server), "log\n"), UploadOutcome::Failed);
    EXPECT_EQ(CountStarting(server.Transcript(), "plain APPE rep.txt"), 3);
    EXPECT_EQ(CountLines(log_,
                         "ERROR=[-1]-\"Ошибка добавления файла на сервера обновлений "
                         "[log5\\1_23\\45xxx\\6xx\\rep.txt]\""),
              3);
    EXPECT_EQ(statuses_.size(), 6u);
}

class ReportUploadOverFtps : public ReportUploadOverFtp {};

TEST_F(ReportUploadOverFtps, OfferedTlsCarriesTheLogin) {
    FtpTestServer server({.tls = true});
    ASSERT_TRUE(server.Running()) << server.Error();
    const UploadConfig config = ConfigFor(server);

    EXPECT_EQ(UploadAtExit(config, "over tls\n"), UploadOutcome::Sent);
    EXPECT_EQ(FileText(server.Home() + kDeviceFolder), "over tls\n");
    const auto transcript = server.Transcript();
    EXPECT_EQ(CountStarting(transcript, "tls PASS"), 2);
    EXPECT_EQ(CountStarting(transcript, "plain PASS"), 0);
    EXPECT_TRUE(Has(transcript, "tls APPE rep.txt"));
}

TEST_F(ReportUploadOverFtps, FailedHandshakeNeverSendsThePassword) {
    FtpTestServer server({.tls = true});
    ASSERT_TRUE(server.Running()) << server.Error();
    UploadConfig config = ConfigFor(server);
    config.caFile.clear();  // the server's certificate is not trusted: the handshake fails

    EXPECT_EQ(UploadAtExit(config, "log\n"), UploadOutcome::Failed);
    const auto transcript = server.Transcript();
    EXPECT_GE(CountStarting(transcript, "plain AUTH"), 1);
    EXPECT_EQ(CountStarting(transcript, "plain USER"), 0);
    EXPECT_EQ(CountStarting(transcript, "plain PASS"), 0);
    ASSERT_FALSE(log_.Lines().empty());
    EXPECT_EQ(log_.Lines().front(), kNoConnectionLine);
}

TEST_F(ReportUploadOverFtps, TlsWithdrawnAfterTheFirstLoginNeverGetsThePasswordInClear) {
    FtpTestServer server({.tls = true, .tlsFirstConnectionOnly = true});
    ASSERT_TRUE(server.Running()) << server.Error();
    const UploadConfig config = ConfigFor(server);

    EXPECT_EQ(UploadAtExit(config, "log\n"), UploadOutcome::Failed);
    const auto transcript = server.Transcript();
    EXPECT_EQ(CountStarting(transcript, "tls PASS"), 1);  // the folder step
    EXPECT_EQ(CountStarting(transcript, "plain PASS"), 0);
    EXPECT_EQ(CountLines(log_, kNoConnectionLine), 3);
}

}  // namespace
