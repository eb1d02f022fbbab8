#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <csignal>

#include "shell_fixture.h"

namespace {

using ProgramShutdown = ShellFixture;

// The real program asked to stop by a signal still writes its log.
TEST_F(ProgramShutdown, TermSignalTakesTheExitPath) {
    const QString programPath = BinDir() + QStringLiteral("/dravo-explorer");
    ASSERT_TRUE(QFile::exists(programPath)) << programPath.toStdString();
    for (int signalNumber : {SIGTERM, SIGINT}) {
        // A previous run leaves its lock file behind; only a fresh one means "started".
        QFile::remove(qEnvironmentVariable("XDG_RUNTIME_DIR") +
                      QStringLiteral("/TLX4_Dravo_Explorer_Mutex.lock"));
        QFile::remove(TempFolder() + QStringLiteral("/log.txt"));
        QProcess program;
        program.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        program.start(programPath, {});
        ASSERT_TRUE(program.waitForStarted());
        // Stop signals are caught before the instance lock is taken, so its
        // file tells that the program is far enough to shut down cleanly.
        QFile lock(qEnvironmentVariable("XDG_RUNTIME_DIR") +
                   QStringLiteral("/TLX4_Dravo_Explorer_Mutex.lock"));
        QDeadlineTimer deadline(10000);
        while (!lock.exists() && !deadline.hasExpired()) {
            program.waitForFinished(20);
        }
        ASSERT_TRUE(lock.exists());
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        QFile log(TempFolder() + QStringLiteral("/log.txt"));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << "signal " << signalNumber;
        const QByteArray text = log.readAll();
        EXPECT_TRUE(text.contains("# START: "));
        EXPECT_TRUE(text.contains("# APP VERSION = 1.1\n"));
        EXPECT_TRUE(text.contains("# END: "));
    }
}

}  // namespace
