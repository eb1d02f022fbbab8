#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <csignal>

#include "shell_fixture.h"
#include "support/other_user.h"

namespace {

class ProgramShutdown : public ShellFixture {
  protected:
    // Starts the real program, waits for its lock file `lockFile`, stops it
    // with `signalNumber` and expects a clean exit.
    static void StartAndStop(const QString& lockFile, int signalNumber) {
        QProcess program;
        ASSERT_NO_FATAL_FAILURE(StartProgramUntilLocked(program, lockFile));
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }

    static QByteArray LogIn(const QString& folder) {
        QFile log(folder + QStringLiteral("/log.txt"));
        EXPECT_TRUE(log.open(QIODevice::ReadOnly)) << folder.toStdString();
        const QByteArray text = log.readAll();
        EXPECT_TRUE(text.contains("# START: "));
        EXPECT_TRUE(text.contains("# APP VERSION = 1.1\n"));
        EXPECT_TRUE(text.contains("# END: "));
        return text;
    }
};

// The real program asked to stop by a signal still writes its log.
TEST_F(ProgramShutdown, TermSignalTakesTheExitPath) {
    for (int signalNumber : {SIGTERM, SIGINT}) {
        QFile::remove(TempFolder() + QStringLiteral("/log.txt"));
        StartAndStop(LockPath(), signalNumber);
        LogIn(TempFolder());
    }
}

// Another local user has put a link to someone's folder, or a folder of their
// own, where the staging folder goes, and holds a lock file in the shared
// temporary folder. There is no runtime folder. The program starts and stops
// cleanly, leaves every file there as it was and keeps its log in the user's
// private folder.
TEST_F(ProgramShutdown, AnotherUsersFolderAndLockInTheSharedPlaceAreLeftAlone) {
    SetEnv("XDG_RUNTIME_DIR", "");
    const QString shared = QDir::cleanPath(TempFolder() + QStringLiteral("/.."));
    const QString oldLock = shared + QStringLiteral("/TLX4_Dravo_Explorer_Mutex.lock");
    const int held = ::open(oldLock.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    GiveToAnotherUser(oldLock.toStdString());

    const QString victim = root_.path() + QStringLiteral("/victim");
    QDir().mkpath(victim);
    struct Case {
        const char* name;
        QString files;  // the folder whose files must stay
    };
    std::vector<Case> cases{{"a link to someone's folder", victim}};
    const bool otherUser = ::geteuid() == 0;
    cases.push_back(
        {otherUser ? "another user's folder" : "a folder others may write", TempFolder()});
    for (const Case& c : cases) {
        if (c.files == victim) {
            ASSERT_TRUE(QFile::link(victim, TempFolder()));
        } else {
            QFile::remove(TempFolder());
            ASSERT_TRUE(QDir().mkpath(TempFolder()));
            if (otherUser) {
                ASSERT_TRUE(GiveToAnotherUser(TempFolder().toStdString()));
            } else {
                QFile::setPermissions(TempFolder(), QFileDevice::Permissions(0x7777));
            }
        }
        for (const char* name : {"thesis.odt", "notes.txt", "log.txt"}) {
            QFile file(c.files + '/' + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("kept: ") + name);
        }
        StartAndStop(PrivateTempFolder() + QStringLiteral("/TLX4_Dravo_Explorer_Mutex.lock"),
                     SIGTERM);
        for (const char* name : {"thesis.odt", "notes.txt", "log.txt"}) {
            QFile file(c.files + '/' + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.name << ' ' << name;
            EXPECT_EQ(file.readAll(), QByteArray("kept: ") + name) << c.name;
        }
        const QByteArray log = LogIn(PrivateTempFolder());
        EXPECT_TRUE(log.contains(PrivateTempFolder().toUtf8())) << c.name;  // said once
    }
    ::close(held);
}

}  // namespace
