#include "display/DisplayWindow.h"
#include "display/ViewerOptions.h"
#include "base/Language.h"
#include "platform/CommandLine.h"
#include "platform/PaintReport.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>

#include <cstdio>

namespace {

void describe(QCommandLineParser &parser)
{
    // Each run reads its command line through here once an application exists: the language first.
    tavlo::installTranslations(
        tavlo::chooseLanguage(tavlo::languageSetting(tavlo::programFolderChoice().folder), QLocale::system()));
    parser.setApplicationDescription(
        QCoreApplication::translate("TAVLO-Display",
                                    "TAVLO-Display shows the waiting lists of TAVLO full screen on a large screen.\n"
                                    "Its own settings are the lines of TAVLO-Display.ini in the program folder (see --settings).")
        + u'\n'
        + tavlo::describeProgramFolder(tavlo::programFolderChoice()));
    tavlo::display::addViewerOptions(parser);
}

// Files of a few lines; anything far larger is not one.
constexpr qint64 kMaxSettingsSize = 1 << 20;

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

    const tavlo::ProgramFolderChoice folder = tavlo::programFolderChoice();
    for (const QString &failure : tavlo::prepareProgramFolder(folder))
        qWarning("TAVLO-Display: %s", qPrintable(failure));

    // Its own settings file first, then the command line over it. A mistake in the file is
    // reported and passed over, so that a screen nobody watches still starts; one on the
    // command line ends the program, where the one who typed it sees it.
    tavlo::display::ViewerOptions options;
    bool named = false;
    const QString settingsPath = tavlo::display::viewerSettingsPath(parser, QDir::currentPath(), folder.folder, &named);
    QFile settings(settingsPath);
    if (settings.open(QIODevice::ReadOnly)) {
        const QString settingsFolder = QFileInfo(settingsPath).absolutePath();
        for (const QString &problem : tavlo::display::applyViewerSettings(settings.read(kMaxSettingsSize), settingsFolder, options))
            qWarning("TAVLO-Display: %s: %s", qPrintable(settingsPath), qPrintable(problem));
    } else if (named) {
        std::fprintf(stderr, "TAVLO-Display: %s\n",
                     qPrintable(QCoreApplication::translate("TAVLO-Display", "cannot read %1: %2")
                                        .arg(settingsPath, settings.errorString())));
        return 2;
    }
    const QStringList problems = tavlo::display::applyCommandLine(parser, QDir::currentPath(), options);
    if (!problems.isEmpty()) {
        for (const QString &problem : problems)
            std::fprintf(stderr, "TAVLO-Display: %s\n", qPrintable(problem));
        return 2;
    }

    tavlo::display::DisplayWindow window(folder.folder, options);
    window.setSettingsPath(settingsPath);
    QScreen *screen = tavlo::display::DisplayWindow::findScreen(options.screen);
    if (!screen) {
        qWarning("TAVLO-Display: there is no screen %s; using the primary screen", qPrintable(options.screen));
        screen = QGuiApplication::primaryScreen();
    }
    window.placeOn(screen);
    window.start();
    tavlo::afterFirstPaint(window);
    if (options.fullScreen)
        window.enterFullScreen();
    else
        window.show();
    return app.exec();
}
