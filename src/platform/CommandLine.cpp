#include "platform/CommandLine.h"

#include <QCoreApplication>

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

void parseCommandLine(QCommandLineParser &parser, const CommandLineSetup &setup)
{
    setUp(parser, setup);
    parser.process(*QCoreApplication::instance());
}

} // namespace tavlo
