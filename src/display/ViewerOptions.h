#pragma once

#include <QCommandLineParser>
#include <QString>

namespace tavlo::display {

// How the viewer starts, from its command line.
struct ViewerOptions {
    QString displayFolder; // empty: the FilePath line of TAVLO.ini in the program folder
    bool fullScreen = true;
};

// Adds the viewer's options: the display folder, full screen or windowed.
void addViewerOptions(QCommandLineParser &parser);

// Reads them from a parsed command line. A relative folder counts from `workingFolder`; the
// folder ends with a separator because the fragment's name is appended directly. Of
// --full-screen and --windowed the last one given wins.
ViewerOptions viewerOptions(const QCommandLineParser &parser, const QString &workingFolder);

} // namespace tavlo::display
