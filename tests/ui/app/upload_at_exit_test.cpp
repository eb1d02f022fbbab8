#include <QDirIterator>
#include <QFile>
#include <QSettings>

#include "base/options_path.h"
#include "integration/upload/ftp_test_server.h"
#include "shell_fixture.h"

namespace {

using UploadAtExit = ShellFixture;

// Closing the window saves the log and appends it to the report on the
// configured server: with no device, under the folder for no serial number.
TEST_F(UploadAtExit, TheSavedLogIsAppendedToTheReportWhenTheWindowCloses) {
    FtpTestServer server({});
    ASSERT_TRUE(server.Running()) << server.Error();
    {
        QSettings settings(QString::fromStdString(OptionsFilePath()), QSettings::IniFormat);
        settings.setValue(QStringLiteral("UPLOAD/Host"), QStringLiteral("127.0.0.1"));
        settings.setValue(QStringLiteral("UPLOAD/Port"), server.Port());
        settings.setValue(QStringLiteral("UPLOAD/User"),
                          QString::fromStdString(server.Account().user));
        settings.setValue(QStringLiteral("UPLOAD/Password"),
                          QString::fromStdString(server.Account().password));
    }
    auto form = MakeForm();
    ASSERT_TRUE(form->StartedUp());
    form->show();
    form->close();

    QStringList reports;
    QDirIterator found(QString::fromStdString(server.Home()), {QStringLiteral("rep.txt")},
                       QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext()) {
        reports << found.next();
    }
    ASSERT_EQ(reports.size(), 1) << reports.join(' ').toStdString();
    EXPECT_TRUE(reports.front().contains(QStringLiteral("__no_number")))
        << reports.front().toStdString();
    QFile report(reports.front());
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QByteArray text = report.readAll();
    EXPECT_TRUE(text.contains("# START: "));
    EXPECT_TRUE(text.contains("# END: "));
    EXPECT_FALSE(text.contains(server.Account().password.c_str())) << "no password in the log";
}

}  // namespace
