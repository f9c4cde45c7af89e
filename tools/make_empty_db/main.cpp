// Build-time tool: writes the empty waiting-list database that ships beside the program, or,
// with --first-layout, one laid out as the first version of the program laid it out (the
// tests upgrade it).
#include "store/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool first = args.removeAll(QStringLiteral("--first-layout")) > 0;
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: make_empty_db [--first-layout] OUTPUT\n";
        return 2;
    }
    const QString output = args.at(1);
    const QString temporary = output + QLatin1String(".new");
    QFile::remove(temporary);
    const QString error = tavlo::createEmptyDatabase(temporary, first ? tavlo::SchemaVersion::First : tavlo::SchemaVersion::Floor);
    if (!error.isEmpty()) {
        QTextStream(stderr) << "make_empty_db: " << error << '\n';
        return 1;
    }
    QFile::remove(output);
    if (!QFile::rename(temporary, output)) {
        QTextStream(stderr) << "make_empty_db: cannot write " << output << '\n';
        return 1;
    }
    return 0;
}
