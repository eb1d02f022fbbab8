#include <QApplication>
#include <QMessageBox>
#include <csignal>
#include <cstdio>
#include <exception>

#include "app/about_window.h"
#include "app/busy_window.h"
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

void ReportLaunchOptions(const LaunchOptions& launch, TForm1& form) {
    for (const auto& argument : launch.unknown) {
        std::fprintf(stderr, "dravo-explorer: unknown argument %s ignored\n", argument.c_str());
    }
    if (launch.demo) {
        std::fprintf(stderr,
                     "dravo-explorer: --demo: the simulated dosimeter is not available yet; "
                     "starting without it\n");
        form.Log().AddLine(
            PickText("Демонстрационный режим пока недоступен: симулятор прибора не встроен",
                     "Demo mode is not available yet: the simulated dosimeter is not built in"));
    }
}

int Run() {
    // Caught from the start, so that a stop request during start-up still ends
    // through the window's shutdown once the event loop runs.
    SignalBridge stopSignals({SIGINT, SIGTERM});
    QtDialogs dialogs;
    QtOptionsStore options;
    TForm1 form1(dialogs, options);
    if (!form1.StartedUp()) {
        return 1;
    }
    dialogs.SetParent(&form1);
    form1.AttachSecondaryWindows(new TForm3(&form1), new TForm2(&form1));
    ReportLaunchOptions(ReadLaunchOptions(), form1);

    QObject::connect(&stopSignals, &SignalBridge::Received, &form1, &QWidget::close);
    form1.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    GuardedApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HalvaneExplorer 1.7"));
    try {
        return Run();
    } catch (const std::exception& error) {
        GuardedApplication::ShowException(error.what());
    }
    return 1;
}
