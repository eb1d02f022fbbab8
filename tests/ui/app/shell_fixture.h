#pragma once

#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/about_window.h"
#include "app/busy_window.h"
#include "app/main_window.h"
#include "app/options_store_qt.h"
#include "base/dialogs.h"
#include "protocol/device_session.h"
#include "support/build_paths.h"
#include "support/recording_dialogs.h"
#include "support/worker_settle.h"

// Every test gets its own configuration, data, temporary and runtime folders,
// so the user's real options, history archive, lock and staging folder are
// never touched and no two tests share an archive.
class ShellFixture : public ::testing::Test {
  protected:
    static void EnsureApplication() {
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "ui_tests";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(root_.isValid());
        for (const char* sub : {"tmp", "config", "data", "run"}) {
            QDir(root_.path()).mkpath(QLatin1String(sub));
        }
        Set("TMPDIR", "tmp");
        Set("XDG_CONFIG_HOME", "config");
        Set("XDG_DATA_HOME", "data");
        Set("XDG_RUNTIME_DIR", "run");
        options_ = std::make_unique<QtOptionsStore>();
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value.has_value()) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

    // A started main window with its busy indicator and About window.
    std::unique_ptr<TForm1> MakeForm() {
        auto form = std::make_unique<TForm1>(dialogs_, *options_);
        if (form->StartedUp()) {
            form->AttachSecondaryWindows(new TForm3(form.get()), new TForm2(form.get()));
        }
        return form;
    }

    void StoreOption(const char* name, const QString& value) {
        QSettings settings(options_->FileName(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("MANAGER/OPTIONS/") + QLatin1String(name), value);
    }

    QString StoredOption(const char* name) const {
        QSettings settings(options_->FileName(), QSettings::IniFormat);
        return settings.value(QStringLiteral("MANAGER/OPTIONS/") + QLatin1String(name)).toString();
    }

    static QString BinDir() { return QString::fromStdString(build_paths::BinDir()); }

    QString TempFolder() const { return root_.path() + QStringLiteral("/tmp/tlx4_dravo_explorer"); }

    // The lock file of the single instance, in the runtime folder.
    static QString LockPath() {
        return qEnvironmentVariable("XDG_RUNTIME_DIR") +
               QStringLiteral("/TLX4_Dravo_Explorer_Mutex.lock");
    }

    // Starts the real program in this test's environment.
    static void StartProgram(QProcess& program, const QStringList& arguments = {}) {
        const QString path = BinDir() + QStringLiteral("/dravo-explorer");
        ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
        program.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        program.start(path, arguments);
        ASSERT_TRUE(program.waitForStarted());
    }

    // Starts the real program and waits for its lock file `lockFile`: stop
    // signals are caught before the lock is taken, so from then on it shuts
    // down cleanly. A previous run's file is removed: only a fresh one counts.
    static void StartProgramUntilLocked(QProcess& program, const QString& lockFile) {
        QFile::remove(lockFile);
        ASSERT_NO_FATAL_FAILURE(StartProgram(program));
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(lockFile) && !deadline.hasExpired()) {
            program.waitForFinished(20);
        }
        ASSERT_TRUE(QFile::exists(lockFile)) << lockFile.toStdString();
    }

    // The log the program saves when it ends; empty before.
    QByteArray SavedLog() const {
        QFile file(TempFolder() + QStringLiteral("/log.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Where the program stages when the usual folder is not the user's own.
    QString PrivateTempFolder() const { return TempFolder() + '-' + QString::number(::geteuid()); }

    template <typename T>
    static T* Find(QObject* parent, const char* name) {
        T* found = parent->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QTabWidget* Pages(TForm1& form) { return Find<QTabWidget>(&form, "PageControl1"); }

    QTemporaryDir root_;
    RecordingDialogs dialogs_;
    std::unique_ptr<QtOptionsStore> options_;

    // Points the port table at a private, empty port folder and leaves the
    // machine's own ports out; returns the folder, where a simulated device
    // plugs in.
    std::string UsePrivatePortFolder() {
        const QString folder = root_.path() + QStringLiteral("/ports");
        QDir().mkpath(folder);
        SetEnv("DRAVO_PORT_DIR", folder.toStdString());
        SetEnv("DRAVO_NO_SYSTEM_PORTS", "1");
        return folder.toStdString();
    }

    // The set-up of the tests that drive a simulated device through the
    // window: English, the first page, and a private port folder (returned).
    std::string UseEnglishWindowOnPrivatePorts() {
        StoreOption("LANGUAGE", QStringLiteral("2"));
        StoreOption("PAGENUM", QStringLiteral("0"));
        return UsePrivatePortFolder();
    }

    // A started English window on a private port folder (`portDir`) that
    // answers Yes to every question, past its first port-list refresh, so a
    // device plugged in now is tried.
    std::unique_ptr<TForm1> StartWindowOnPrivatePorts(std::string& portDir) {
        portDir = UseEnglishWindowOnPrivatePorts();
        dialogs_.answerYes = true;
        auto form = MakeForm();
        EXPECT_TRUE(form->StartedUp());
        if (form->StartedUp()) {
            WaitForStartPortsRecorded(*form);
        }
        return form;
    }

    // A device plugged in before the first port-list refresh counts as present
    // at start and is never tried automatically: plug test devices in after it.
    static void WaitForStartPortsRecorded(TForm1& form) {
        EXPECT_TRUE(QTest::qWaitFor([&form] { return form.Session().Ports().StartPortsRecorded(); },
                                    10000));
    }

    // Waits until `condition` holds of the device worker's state, then until
    // what the worker handed to the window by then is shown.
    template <typename Condition>
    static bool WaitShown(TForm1& form, Condition condition, int limitMs) {
        return QTest::qWaitFor(condition, limitMs) && Settle(form.Worker());
    }

    // Sets an environment variable for this test only.
    void SetEnv(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }

  private:
    void Set(const char* name, const char* sub) {
        SetEnv(name, (root_.path() + '/' + QLatin1String(sub)).toStdString());
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
