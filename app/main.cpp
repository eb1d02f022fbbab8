#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>

#include "app/about_window.h"
#include "app/busy_window.h"
#include "app/command_line_qt.h"
#include "app/dialogs_qt.h"
#include "app/launch_options.h"
#include "app/main_window.h"
#include "app/options_store_qt.h"
#include "app/signal_bridge_qt.h"
#include "protocol/device_session.h"
#include "sim/demo_device.h"

namespace {

// An exception that escapes an event handler is shown, and the program goes on.
class GuardedApplication : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            ShowException(error.what());
        } catch (...) {
            ShowException("unknown exception");
        }
        return false;
    }

    static void ShowException(const char* what) {
        QMessageBox::critical(nullptr, applicationName(), QString::fromLocal8Bit(what));
    }
};

LaunchOptions ReadLaunchOptions() {
    std::vector<std::string> arguments;
    const QStringList all = QApplication::arguments();
    for (qsizetype index = 1; index < all.size(); ++index) {
        arguments.push_back(all[index].toStdString());
    }
    return ParseLaunchArguments(arguments);
}

void ReportUnknownArguments(const LaunchOptions& launch) {
    for (const auto& argument : launch.unknown) {
        std::fprintf(stderr, "dravo-explorer: unknown argument %s ignored\n", argument.c_str());
    }
}

// Before the window reads its port table: the demo's port folder must be in place.
bool PrepareDemo(const LaunchOptions& launch, DemoDevice& demo) {
    if (!launch.demo) {
        return true;
    }
    if (!demo.PreparePortFolder()) {
        std::fprintf(stderr, "dravo-explorer: --demo: cannot make the demo port folder\n");
        return false;
    }
    return true;
}

// The demo device is plugged in a moment after the window's first port-list
// refresh, which records the ports present at start: so it is found as a
// device plugged in while the program runs, however slowly the start went.
void StartDemoAfterFirstScan(TForm1& form, DemoDevice& demo) {
    auto* poll = new QTimer(&form);
    QObject::connect(poll, &QTimer::timeout, &form, [&form, &demo, poll] {
        if (!form.Session().Ports().StartPortsRecorded()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        demo.Start();
        form.Log().AddLine(PickText("Демонстрация: имитатор прибора K310 подключается к COM",
                                    "Demo: a simulated K310 dosimeter is being plugged into COM") +
                           std::to_string(DemoDevice::kPortNumber));
    });
    poll->start(100);
}

int Run() {
    // Caught from the start, so that a stop request during start-up still ends
    // through the window's shutdown once the event loop runs.
    SignalBridge stopSignals({SIGINT, SIGTERM});
    const LaunchOptions launch = ReadLaunchOptions();
    ReportUnknownArguments(launch);
    // Declared before the window, so the device outlives the window's port.
    DemoDevice demo;
    if (!PrepareDemo(launch, demo)) {
        return 1;
    }
    QtDialogs dialogs;
    QtOptionsStore options;
    // A stop request while a start-up message box waits ends it as its OK would.
    const auto startupStop = QObject::connect(&stopSignals, &SignalBridge::Received, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
        }
    });
    TForm1 form1(dialogs, options);
    QObject::disconnect(startupStop);
    if (!form1.StartedUp()) {
        return 1;
    }
    dialogs.SetParent(&form1);
    form1.AttachSecondaryWindows(new TForm3(&form1), new TForm2(&form1));
    if (launch.demo) {
        StartDemoAfterFirstScan(form1, demo);
    }

    QObject::connect(&stopSignals, &SignalBridge::Received, &form1, &QWidget::close);
    form1.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = AnswerBeforeWindow(argc, argv)) {
        return *status;
    }
    GuardedApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HalvaneExplorer 1.7"));
    try {
        return Run();
    } catch (const std::exception& error) {
        GuardedApplication::ShowException(error.what());
    }
    return 1;
}
