#include "platform/CommandLine.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace tavlo {

namespace {

void setUp(QCommandLineParser &parser, const CommandLineSetup &setup)
{
    parser.addHelpOption();
    parser.addVersionOption();
    setup(parser);
}

} // namespace

void answerHelpOrVersion(int &argc, char **argv, const CommandLineSetup &setup)
{
    const QCoreApplication early(argc, argv);
    QCommandLineParser parser;
    setUp(parser, setup);
    // Anything this parser does not know (a window-system option, a mistake) is left to the
    // full parse once the window system is up.
    if (parser.parse(QCoreApplication::arguments())
        && (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))))
        parser.process(QCoreApplication::arguments());
}

void parseCommandLine(QCommandLineParser &parser, const CommandLineSetup &setup, int badCommandLineStatus)
{
    setUp(parser, setup);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(parser.errorText()));
        std::exit(badCommandLineStatus);
    }
    parser.process(*QCoreApplication::instance());
}

} // namespace tavlo
