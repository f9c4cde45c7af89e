#include "display/ViewerOptions.h"

#include "platform/ProgramFolder.h"

#include <QDir>

namespace tavlo::display {

namespace {
const QString kFolder = QStringLiteral("display-folder");
const QString kFullScreen = QStringLiteral("full-screen");
const QString kWindowed = QStringLiteral("windowed");
} // namespace

void addViewerOptions(QCommandLineParser &parser)
{
    parser.addOption({{QStringLiteral("d"), kFolder},
                      QStringLiteral("Show TAVLO-Display.txt from <folder> instead of the folder named by the "
                                     "FilePath line of TAVLO.ini in the program folder."),
                      QStringLiteral("folder")});
    parser.addOption({{QStringLiteral("f"), kFullScreen}, QStringLiteral("Start full screen (the default).")});
    parser.addOption({{QStringLiteral("w"), kWindowed}, QStringLiteral("Start in a window.")});
}

ViewerOptions viewerOptions(const QCommandLineParser &parser, const QString &workingFolder)
{
    ViewerOptions options;
    if (parser.isSet(kFolder)) {
        const QString folder = QDir(workingFolder).absoluteFilePath(parser.value(kFolder));
        options.displayFolder = withTrailingSeparator(QDir::toNativeSeparators(QDir::cleanPath(folder)));
    }
    for (const QString &name : parser.optionNames()) {
        if (name == kWindowed || name == QLatin1String("w"))
            options.fullScreen = false;
        else if (name == kFullScreen || name == QLatin1String("f"))
            options.fullScreen = true;
    }
    return options;
}

} // namespace tavlo::display
