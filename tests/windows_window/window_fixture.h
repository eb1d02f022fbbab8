#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <optional>
#include <string>

#include "app/about_window.h"
#include "app/busy_window.h"
#include "app/main_window.h"
#include "app/options_store_qt.h"
#include "protocol/device_session.h"
#include "support/recording_dialogs.h"
#include "support/worker_settle.h"

// The main window on the system's own platform (wine's, with a virtual X
// server behind it), with its options in the registry, as a user runs it.
class WindowFixture : public ::testing::Test {
  protected:
    static constexpr const wchar_t* kOptionsKey = L"DRAVO\\TLX4\\MANAGER\\OPTIONS";

    void SetUp() override {
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "window_tests";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
        dialogs_.answerYes = true;
    }

    // The window in English on its first page, so that the texts tested are
    // the English ones.
    std::unique_ptr<TForm1> MakeEnglishForm() {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"DRAVO\\TLX4");
        options_.WriteInt("LANGUAGE", 2);
        options_.WriteInt("PAGENUM", 0);
        auto form = std::make_unique<TForm1>(dialogs_, options_);
        EXPECT_TRUE(form->StartedUp());
        if (form->StartedUp()) {
            form->AttachSecondaryWindows(new TForm3(form.get()), new TForm2(form.get()));
            form->show();
        }
        return form;
    }

    // A device plugged in before the first port-list refresh counts as present
    // at start and is never tried automatically: plug test devices in after it.
    static bool WaitForStartPortsRecorded(TForm1& form) {
        return QTest::qWaitFor([&form] { return form.Session().Ports().StartPortsRecorded(); },
                               10000);
    }

    // Waits until the status bar names the device: `model` as in "<maker> <model>.<rev>...".
    static bool WaitForStatus(TForm1& form, const QString& model) {
        return QTest::qWaitFor(
                   [&] {
                       return form.findChild<QLabel*>(QStringLiteral("Panel_Bottom_Info_Text"))
                           ->text()
                           .contains(' ' + model + '.');
                   },
                   30000) &&
               Settle(form.Worker());
    }

    template <typename T>
    static T* Find(QObject* parent, const QString& name) {
        T* found = parent->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    // A button's action runs on the device worker; its boxes and what it
    // shows follow before this returns.
    static void Click(TForm1& form, const QString& name) {
        if (auto* button = Find<QAbstractButton>(&form, name)) {
            button->click();
        }
        EXPECT_TRUE(Settle(form.Worker()));
    }

    static QTabWidget* Pages(TForm1& form) {
        return Find<QTabWidget>(&form, QStringLiteral("PageControl1"));
    }

    // A value under the options key, as the registry holds it.
    static std::optional<DWORD> RegistryOption(const wchar_t* name) {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, kOptionsKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                         &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return value;
    }

    RecordingDialogs dialogs_;
    QtOptionsStore options_;
};
