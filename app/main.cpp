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
#include "app/demo_launch_qt.h"
#include "app/dialogs_qt.h"
#include "app/launch_options.h"
#include "app/main_window.h"
#include "app/options_store_qt.h"
#include "app/signal_bridge_qt.h"

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

int Run() {
    // Caught from the start, so that a stop request during start-up still ends
    // through the window's shutdown once the event loop runs.
    SignalBridge stopSignals({SIGINT, SIGTERM});
    const LaunchOptions launch = ReadLaunchOptions();
    ReportUnknownArguments(launch);
    // Declared before the window, so the device outlives the window's port.
    DemoLaunch demo;
    if (!demo.Prepare(launch)) {
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
        demo.StartAfterFirstScan(form1);
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
