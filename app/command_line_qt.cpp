#include "app/command_line_qt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "app/banner.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// The toolkit's own -platform argument chooses a platform as the variable does.
bool PlatformArgument(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("-platform")) ||
           arguments.contains(QStringLiteral("--platform"));
}

bool HasDisplay(const QStringList& arguments) {
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM") ||
           PlatformArgument(arguments);
}

}  // namespace

std::optional<int> AnswerBeforeWindow(int argc, char** argv) {
    int count = argc;
    const QCoreApplication core(count, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dravo-explorer"));
    QCoreApplication::setApplicationVersion(QLatin1String(kAppVersion));

    QCommandLineParser parser;
    // The toolkit's single-dash words stay whole: "-reverse" must not read as -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Dravo Explorer: the desktop companion of the K310 and K520 dosimeters."));
    // Not addHelpOption(): its --help-all would need the toolkit's option list,
    // which only a running QApplication knows.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        QStringLiteral("demo"),
        QStringLiteral("Plug in a simulated K310 dosimeter a moment after start.")));
    // The toolkit's own options (-platform, -style ...) are taken later by the
    // application; they are no error here.
    parser.parse(QCoreApplication::arguments());

    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("dravo-explorer %s\n", kAppVersion);
        return 0;
    }
    if (!HasDisplay(QCoreApplication::arguments())) {
        std::fputs(
            "dravo-explorer: needs a display to show its window (neither DISPLAY nor "
            "WAYLAND_DISPLAY is set); run it with QT_QPA_PLATFORM=offscreen or under xvfb-run -a\n",
            stderr);
        return 1;
    }
    return std::nullopt;
}
