#include <QDir>
#include <QTest>
#include <csignal>

#include "shell_fixture.h"

namespace {

using DemoMode = ShellFixture;

// The real program with --demo finds and identifies its simulated dosimeter
// through the automatic scan, and leaves no port folder behind.
TEST_F(DemoMode, ThePluggedInSimulatedDosimeterIsFoundAndIdentified) {
    UsePrivatePortFolder();  // the demo must bring its own folder, not use this one
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(StartProgram(program, {QStringLiteral("--demo")}));

    // The log is written at exit only: let the program run until the device
    // must have been found, then stop it.
    const QString tmp = qEnvironmentVariable("TMPDIR");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !QDir(tmp).entryList({QStringLiteral("dravo-demo-ports-*")}).isEmpty(); },
        10000));
    QTest::qWait(6000);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);

    const QByteArray log = SavedLog();
    EXPECT_TRUE(log.contains("PORT LIST: 7\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("Open COM 7 : OK\n"));
    EXPECT_TRUE(log.contains("# Device: Halvane RDK-310.41.0\n"));
    EXPECT_TRUE(log.contains("# TLX4  : 12.6\n"));
    EXPECT_TRUE(QDir(tmp).entryList({QStringLiteral("dravo-demo-ports-*")}).isEmpty());
}

}  // namespace
