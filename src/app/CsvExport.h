#pragma once

#include <QCommandLineParser>
#include <QStringList>

class QTextStream;

namespace tavlo {

// `TAVLO --export-csv FILE [--from YYYY-MM-DD] [--to YYYY-MM-DD]`: the journal of those days
// (local time, both included) as CSV, without a window. The database is the one TAVLO.ini
// names, read and never written; so is TAVLO.ini itself. FILE "-" is the standard output.
class CsvExport {
public:
    enum Status {
        Done = 0,
        DatabaseUnreadable = 1, // missing, not a database, or a failing read
        BadCommandLine = 2,     // no file, a date that is not one, --from after --to, a stray word
        CannotWrite = 3,
    };

    static void addOptions(QCommandLineParser &parser);
    // Whether the command line asks for an export (or names its dates) rather than the window.
    static bool isAsked(const QStringList &arguments);
    // Runs the export the parsed command line asks for; what went wrong goes to `errors`.
    static int run(const QCommandLineParser &parser, const QString &programFolder, QTextStream &output, QTextStream &errors);
};

} // namespace tavlo
