#pragma once

#include <QCommandLineParser>

#include <functional>

namespace tavlo {

// Fills a parser with the program's description and options; --help and --version are added
// by the functions below.
using CommandLineSetup = std::function<void(QCommandLineParser &)>;

// Answers --help and --version before any window exists, so that they also work without a
// display: prints the answer and ends the program. Returns when neither is asked for.
void answerHelpOrVersion(int &argc, char **argv, const CommandLineSetup &setup);

// Parses the running application's command line; ends the program with a message on the
// standard error and `badCommandLineStatus` on an unknown option or a missing value, and
// answers --help-all, which lists the window system's options too.
void parseCommandLine(QCommandLineParser &parser, const CommandLineSetup &setup, int badCommandLineStatus = 1);

} // namespace tavlo
