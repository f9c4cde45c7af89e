#include "display/DisplayWindow.h"
#include "display/ViewerOptions.h"
#include "platform/CommandLine.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QDir>

namespace {

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("TAVLO-Display shows the waiting lists of TAVLO full screen on a large screen.\n")
        + tavlo::describeProgramFolder(tavlo::programFolderChoice()));
    tavlo::display::addViewerOptions(parser);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("TAVLO-Display"));
    QApplication::setApplicationVersion(QStringLiteral(TAVLO_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVLO_DISPLAY_DESKTOP_ID));
    tavlo::answerHelpOrVersion(argc, argv, describe);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    tavlo::parseCommandLine(parser, describe);
    const tavlo::display::ViewerOptions options = tavlo::display::viewerOptions(parser, QDir::currentPath());

    const tavlo::ProgramFolderChoice folder = tavlo::programFolderChoice();
    for (const QString &failure : tavlo::prepareProgramFolder(folder))
        qWarning("TAVLO-Display: %s", qPrintable(failure));

    tavlo::display::DisplayWindow window(folder.folder, options.displayFolder);
    window.start();
    if (options.fullScreen)
        window.enterFullScreen();
    else
        window.show();
    return app.exec();
}
