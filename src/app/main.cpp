#include "app/Console.h"
#include "app/CsvExport.h"
#include "app/UpdateFlow.h"
#include "console/MainWindow.h"
#include "platform/Clock.h"
#include "base/Language.h"
#include "platform/CommandLine.h"
#include "platform/Connectivity.h"
#include "platform/PaintReport.h"
#include "platform/Platform.h"
#include "platform/ProcessEnd.h"
#include "platform/ProgramFolder.h"
#include "platform/QtMessageBox.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTextStream>

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <thread>

namespace {

// The settings stay in TAVLO.ini; the only options export the journal without a window.
void describe(QCommandLineParser &parser)
{
    // Each run reads its command line through here once an application exists: the language first.
    tavlo::installTranslations(
        tavlo::chooseLanguage(tavlo::languageSetting(tavlo::programFolderChoice().folder), QLocale::system()));
    parser.setApplicationDescription(
        QCoreApplication::translate("TAVLO", "TAVLO keeps the waiting lists of a card room's games for the large screen.")
        + u'\n'
        + tavlo::describeProgramFolder(tavlo::programFolderChoice()));
    tavlo::CsvExport::addOptions(parser);
}

// The export runs without a window system, for scripts and scheduled jobs.
int exportCsv(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    tavlo::parseCommandLine(parser, describe, tavlo::CsvExport::BadCommandLine);
    QTextStream output(stdout);
    QTextStream errors(stderr);
    return tavlo::CsvExport::run(parser, tavlo::programFolderChoice().folder, output, errors);
}

} // namespace

int main(int argc, char **argv)
{
    const qint64 entered = tavlo::monotonicNanoseconds();
    QApplication::setApplicationName(QStringLiteral("TAVLO"));
    QApplication::setApplicationVersion(tavlo::Console::versionText());
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVLO_DESKTOP_ID));
    tavlo::answerHelpOrVersion(argc, argv, describe);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (tavlo::CsvExport::isAsked(arguments))
        return exportCsv(argc, argv);

    // Fontconfig reads its configuration and its caches for the first text of the window: on
    // the other core, while the window system's connection is made.
    std::thread fonts([] { FcInit(); });
    QApplication app(argc, argv);
    fonts.join(); // before any way out: an exit half-way through would leave its memory behind
    // The accessibility bridge reaches for the session bus with the window's first widget and
    // waits for it, or for a failed start of one where there is none: on the other core meanwhile.
    std::jthread sessionBus;
    if (QGuiApplication::platformName() == QLatin1String("xcb") || QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        sessionBus = std::jthread([] { QDBusConnection::sessionBus(); });
    tavlo::reportStartupStep("main entered", entered);
    tavlo::reportStartupStep("application ready");
    QCommandLineParser parser;
    tavlo::parseCommandLine(parser, describe, tavlo::CsvExport::BadCommandLine);

    // A failed copy shows up as the usual missing-file messages of the first start.
    const tavlo::ProgramFolderChoice folder = tavlo::programFolderChoice();
    for (const QString &failure : tavlo::prepareProgramFolder(folder))
        qWarning("TAVLO: %s", qPrintable(failure));

    tavlo::QtMessageBox messageBox;
    tavlo::ImmediateProcessEnd processEnd;
    tavlo::SystemConnectivity connectivity;
    tavlo::Platform platform;
    platform.messageBox = &messageBox;
    platform.processEnd = &processEnd;
    platform.connectivity = &connectivity;
    platform.clock = &tavlo::SystemClock::instance();
    platform.programFolder = folder.folder;

    return tavlo::runConsole(platform, [&platform](QWidget &window) { tavlo::startUpdateFlow(platform, window); });
}
