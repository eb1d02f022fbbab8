#include <gtest/gtest.h>

#include <deque>

#include "upload/report_upload.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kPath = "log5\\1_23\\45xxx\\6xx\\rep.txt";
constexpr const char* kNoConnection = "ERROR=[0]-\"Ошибка: Нет соединения с сервером обновлений\"";
constexpr const char* kAppendFailed =
    "ERROR=[-1]-\"Ошибка добавления файла на сервера обновлений "
    "[log5\\1_23\\45xxx\\6xx\\rep.txt]\"";

// One scripted session: its result and the time it takes on the fake clock.
struct Step {
    FtpResult result;
    std::uint32_t takesMs = 0;
};

// Plays scripted sessions in order and records what it was asked.
class ScriptedFtpClient : public FtpClient {
  public:
    explicit ScriptedFtpClient(std::uint32_t& now) : now_(now) {}

    FtpResult MakeDirectories(const std::vector<std::string>& directories,
                              std::uint32_t timeLimitMs) override {
        calls.push_back("MakeDirectories");
        madeDirectories = directories;
        return Play(timeLimitMs);
    }

    FtpResult AppendFile(const std::vector<std::string>& directories, const std::string& fileName,
                         const std::string& content, std::uint32_t timeLimitMs,
                         const FtpBytesSent& sent) override {
        calls.push_back("AppendFile");
        EXPECT_EQ(directories, madeDirectories);
        EXPECT_EQ(fileName, "rep.txt");
        if (sent) {
            sent(content.size() / 2);
            sent(content.size());
        }
        return Play(timeLimitMs);
    }

    std::deque<Step> script;
    Lines calls;
    Lines madeDirectories;
    std::vector<std::uint32_t> timeLimits;

  private:
    FtpResult Play(std::uint32_t timeLimitMs) {
        timeLimits.push_back(timeLimitMs);
        Step step = script.empty() ? Step{} : script.front();
        if (!script.empty()) {
            script.pop_front();
        }
        now_ += std::min(step.takesMs, timeLimitMs);
        return step.result;
    }

    std::uint32_t& now_;
};

class UploadReportTest : public ::testing::Test {
  protected:
    bool Upload(std::uint32_t timeLimitMs = 10000, const std::string& content = "0123456789") {
        const ReportUploadContext context{
            client_,
            log_,
            {[this](const std::string& text) { statuses_.push_back(text); },
             [this](int percent) { progress_.push_back(percent); }},
            [this] { return now_; },
            [this](std::uint32_t ms) {
                waits_.push_back(ms);
                now_ += ms;
            },
            timeLimitMs};
        return UploadReport(context, content, kPath, kReportAttempts);
    }

    // Starts near the wrap-around of the tick count, which the bound must survive.
    std::uint32_t now_ = 0xFFFFF000u;
    ScriptedFtpClient client_{now_};
    AppLog log_;
    Lines statuses_;
    std::vector<int> progress_;
    std::vector<std::uint32_t> waits_;
};

const FtpResult kAppendRefused{FtpFailure::Append, "550 Not enough privileges."};

TEST_F(UploadReportTest, MakesTheFoldersThenAppendsOnce) {
    EXPECT_TRUE(Upload());
    EXPECT_EQ(client_.calls, (Lines{"MakeDirectories", "AppendFile"}));
    EXPECT_EQ(client_.madeDirectories, (Lines{"log5", "1_23", "45xxx", "6xx"}));
    EXPECT_EQ(statuses_, (Lines{"Добавление на сервер", ""}));
    EXPECT_EQ(progress_, (std::vector<int>{50, 100}));
    EXPECT_TRUE(waits_.empty());
    EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(UploadReportTest, ThreeFailedAppendsShowTheAttemptsAndPauseAfterEach) {
    client_.script = {{}, {kAppendRefused}, {kAppendRefused}, {kAppendRefused}};
    EXPECT_FALSE(Upload());
    EXPECT_EQ(statuses_, (Lines{"Добавление на сервер", "", "Добавление на сервер Попытка 2", "",
                                "Добавление на сервер Попытка 3", ""}));
    EXPECT_EQ(waits_, (std::vector<std::uint32_t>{500, 500, 500}));
    const Lines attempt{kAppendFailed, "FTP: 550 Not enough privileges."};
    EXPECT_EQ(log_.Lines(),
              (Lines{attempt[0], attempt[1], attempt[0], attempt[1], attempt[0], attempt[1]}));
}

TEST_F(UploadReportTest, SecondAttemptThatSucceedsEndsTheUpload) {
    client_.script = {{}, {{FtpFailure::Connection, ""}}, {}};
    EXPECT_TRUE(Upload());
    EXPECT_EQ(client_.calls, (Lines{"MakeDirectories", "AppendFile", "AppendFile"}));
    EXPECT_EQ(waits_, (std::vector<std::uint32_t>{500}));
    EXPECT_EQ(log_.Lines(), (Lines{kNoConnection}));
}

TEST_F(UploadReportTest, FolderThatCannotBeEnteredIsLoggedWithTheAppend) {
    client_.script = {{}, {{FtpFailure::Directory, ""}}, {}};
    EXPECT_TRUE(Upload());
    EXPECT_EQ(log_.Lines(),
              (Lines{"ERROR=[0]-\"Ошибка FTP: смена каталога не удалась\"", kAppendFailed}));
}

TEST_F(UploadReportTest, FailedFolderStepMakesNoAttempt) {
    client_.script = {{{FtpFailure::Connection, "Couldn't connect to server"}}};
    EXPECT_FALSE(Upload());
    EXPECT_EQ(client_.calls, (Lines{"MakeDirectories"}));
    EXPECT_EQ(log_.Lines(), (Lines{kNoConnection, "FTP: Couldn't connect to server"}));
    EXPECT_TRUE(statuses_.empty());
    EXPECT_TRUE(waits_.empty());

    log_.Clear();
    client_.calls.clear();
    client_.script = {{{FtpFailure::Directory, ""}}};
    EXPECT_FALSE(Upload());
    EXPECT_EQ(client_.calls, (Lines{"MakeDirectories"}));
    EXPECT_EQ(log_.Lines(), (Lines{"ERROR=[0]-\"Ошибка FTP: не создан каталог\""}));
}

TEST_F(UploadReportTest, WholeUploadKeepsWithinItsTimeLimit) {
    const FtpResult stalled{FtpFailure::Append, "Operation timed out"};
    client_.script = {{{}, 4000}, {stalled, 5000}, {stalled, 5000}, {stalled, 5000}};
    EXPECT_FALSE(Upload(10000));
    // Each session gets what is left; the pauses are cut short at the bound.
    EXPECT_EQ(client_.timeLimits, (std::vector<std::uint32_t>{10000, 6000, 500}));
    EXPECT_EQ(waits_, (std::vector<std::uint32_t>{500, 0}));
    EXPECT_EQ(log_.Lines().back(), "ERROR=[0]-\"Ошибка FTP: время выгрузки истекло\"");
    EXPECT_EQ(statuses_.size(), 4u);
}

TEST_F(UploadReportTest, EmptyFileIsSentWithoutProgress) {
    EXPECT_TRUE(Upload(10000, ""));
    EXPECT_TRUE(progress_.empty());
}

}  // namespace
