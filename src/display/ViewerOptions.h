#pragma once

#include "display/ViewerTheme.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace tavlo::display {

inline constexpr char kViewerSettingsFileName[] = "TAVLO-Display.ini";

// How the viewer starts: the defaults, then the lines of its own settings file, then the
// command line.
struct ViewerOptions {
    QString displayFolder; // empty: the FilePath line of TAVLO.ini in the program folder
    bool fullScreen = true;
    QString screen;        // empty: the primary screen; else a number counting from 1, or a name
    QStringList games;     // empty: every game; else names or patterns with * and ?
    int pageSeconds = 8;   // how long a page of a long list stays on the screen
    ViewerTheme::Kind theme = ViewerTheme::Kind::Standard;
    bool privacy = false;  // first names and initials, "Alice B."
    bool estimates = false; // each game's wait estimate under its title
    int webPort = -1;      // the phones' page: off below 0; 0 lets the system pick a free port
    QString webAddress;    // empty: every address of this machine
    bool webFullNames = false; // the phones' page shows full names; else "Alice B." whatever the TV shows

    bool operator==(const ViewerOptions &) const = default;

    static constexpr int kMinPageSeconds = 2;
    static constexpr int kMaxPageSeconds = 600;
    bool webEnabled() const { return webPort >= 0; }
};

// Adds the viewer's options: the display folder, full screen or windowed, the screen, the
// games, the page interval, the theme, privacy, the phones' page, and the settings file.
void addViewerOptions(QCommandLineParser &parser);

// The settings file to read: the one the command line names (relative to `workingFolder`), or
// TAVLO-Display.ini in the program folder. `named` tells which.
QString viewerSettingsPath(const QCommandLineParser &parser, const QString &workingFolder, const QString &programFolder,
                           bool *named = nullptr);

// Applies the lines of the viewer's settings file: "Key=Value", keys in any letter case, lines
// starting with # or ; and [sections] ignored. A relative display folder counts from
// `settingsFolder`. Returns one line for each key or value it could not use; the others apply.
QStringList applyViewerSettings(const QByteArray &bytes, const QString &settingsFolder, ViewerOptions &options);

// The settings file's text with `options` written in: lines that already say what the options
// say stay as written, other lines of the viewer's keys are rewritten, comments and unknown lines
// stay, missing keys are appended; the file's own line ends are kept.
QByteArray viewerSettingsText(const QByteArray &old, const QString &settingsFolder, const ViewerOptions &options);
// Reads the file at `path`, if any, and replaces it in one step with the options written in;
// the reason of a failure, or empty.
QString saveViewerSettings(const QString &path, const ViewerOptions &options);
// The defaults and then the lines of the file at `path`, if it can be read.
ViewerOptions readViewerSettings(const QString &path);

// Applies a parsed command line over `options`. A relative folder counts from
// `workingFolder`; the folder ends with a separator because file names are appended directly.
// Of --full-screen and --windowed, and of --privacy and --full-names, the last one given wins.
// Returns one line for each value it could not use.
QStringList applyCommandLine(const QCommandLineParser &parser, const QString &workingFolder, ViewerOptions &options);

} // namespace tavlo::display
