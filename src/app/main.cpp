#include "app/Console.h"
#include "app/UpdateFlow.h"
#include "console/MainWindow.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/Connectivity.h"
#include "platform/Platform.h"
#include "platform/ProcessEnd.h"
#include "platform/ProgramFolder.h"
#include "platform/QtMessageBox.h"

#include <QApplication>

namespace {

// No options of its own: the settings stay in TAVLO.ini.
void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("TAVLO keeps the waiting lists of a card room's games for the large screen.\n")
        + tavlo::describeProgramFolder(tavlo::programFolderChoice()));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication::setApplicationName(QStringLiteral("TAVLO"));
    QApplication::setApplicationVersion(tavlo::Console::versionText());
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVLO_DESKTOP_ID));
    tavlo::answerHelpOrVersion(argc, argv, describe);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    tavlo::parseCommandLine(parser, describe);

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
