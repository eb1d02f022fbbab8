#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "support/build_paths.h"
#include "window_fixture.h"

namespace {

// The top-level window of process `pid` that is shown, if any.
HWND ShownWindowOf(qint64 pid) {
    struct Search {
        DWORD pid;
        HWND found = nullptr;
    } search{static_cast<DWORD>(pid)};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search->pid && IsWindowVisible(window) &&
                GetWindow(window, GW_OWNER) == nullptr) {
                search->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

using Program = WindowFixture;

// dravo-explorer.exe --demo as a user starts it: the simulated dosimeter is
// plugged in and identified, and closing the window saves the log with both
// banners and the page in the registry, and ends the program with status 0.
TEST_F(Program, TheDemoIsIdentifiedAndClosingSavesTheLogAndThePage) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"DRAVO\\TLX4");
    options_.WriteInt("LANGUAGE", 2);
    const QString log = QDir::tempPath() + QStringLiteral("/tlx4_dravo_explorer/log.txt");
    QFile::remove(log);

    QProcess program;
    program.start(
        QString::fromStdString(build_paths::BinDir()) + QStringLiteral("/dravo-explorer.exe"),
        {QStringLiteral("--demo")});
    ASSERT_TRUE(program.waitForStarted());
    HWND window = nullptr;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (window = ShownWindowOf(program.processId())); }, 30000))
        << program.readAllStandardError().toStdString();
    // The log is written at exit only: let the program run until the device
    // must have been found, then close its window as a user does.
    QTest::qWait(10000);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << log.toStdString();
    const QByteArray text = file.readAll();
    for (const char* line : {"# START: ", "# APP VERSION = ",
                             "Demo: a simulated K310 dosimeter is being plugged into COM7",
                             "Open COM 7 : OK", "# Device: Halvane RDK-310.41.0", "# END: "}) {
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.toStdString();
    }
    EXPECT_EQ(RegistryOption(L"PAGENUM"), std::optional<DWORD>(0));
    EXPECT_EQ(RegistryOption(L"LANGUAGE"), std::optional<DWORD>(2));
}

}  // namespace
