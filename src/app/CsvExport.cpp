#include "app/CsvExport.h"

#include "base/Settings.h"
#include "base/TextFile.h"
#include "room/JournalCsv.h"
#include "room/ShiftReport.h"
#include "store/DatabaseAddress.h"
#include "store/JournalReader.h"
#include "store/StoreError.h"
#include "store/WaitingListStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace tavlo {

namespace {

struct ExportText {
    Q_DECLARE_TR_FUNCTIONS(CsvExport)
};

const QString ExportOption = QStringLiteral("export-csv");
const QString FromOption = QStringLiteral("from");
const QString ToOption = QStringLiteral("to");

// Settings files are a few hundred bytes; anything far larger is not one.
constexpr qint64 MostSettingsBytes = 1 << 20;

// The database TAVLO.ini names, as the console reads it; the defaults' without a file.
std::optional<QString> databasePath(const QString &programFolder, QString &failure)
{
    SettingsFile file(programFolder);
    if (!QFileInfo(file.path()).isFile())
        return Settings::defaults(programFolder).databasePath;
    QFile settings(file.path());
    Settings values;
    QString invalid;
    if (!settings.open(QIODevice::ReadOnly) || !SettingsFile::parse(settings.read(MostSettingsBytes), values, &invalid)) {
        failure = ExportText::tr("cannot read %1").arg(QDir::toNativeSeparators(file.path()))
                + (invalid.isEmpty() ? QString() : ExportText::tr(": invalid setting ") + invalid);
        return std::nullopt;
    }
    return values.databasePath;
}

std::optional<QDate> dateOption(const QCommandLineParser &parser, const QString &option, QTextStream &errors)
{
    if (!parser.isSet(option))
        return QDate();
    const QDate date = QDate::fromString(parser.value(option), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) {
        errors << ExportText::tr("TAVLO: --%1 needs a date as YYYY-MM-DD, not \"%2\"\n").arg(option, parser.value(option));
        return std::nullopt;
    }
    return date;
}

} // namespace

void CsvExport::addOptions(QCommandLineParser &parser)
{
    parser.addOption({ExportOption, ExportText::tr("Write the journal of changes as CSV to <file> (\"-\": the standard "
                                                   "output) and end, without a window."),
                      QStringLiteral("file")});
    parser.addOption({FromOption, ExportText::tr("With --export-csv: from this day on (local time)."), QStringLiteral("YYYY-MM-DD")});
    parser.addOption({ToOption, ExportText::tr("With --export-csv: up to this day, included."), QStringLiteral("YYYY-MM-DD")});
}

bool CsvExport::isAsked(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        for (const QString &option : {ExportOption, FromOption, ToOption}) {
            const QString word = QStringLiteral("--") + option;
            if (argument == word || argument.startsWith(word + QLatin1Char('=')))
                return true;
        }
    }
    return false;
}

int CsvExport::run(const QCommandLineParser &parser, const QString &programFolder, QTextStream &output, QTextStream &errors)
{
    if (!parser.isSet(ExportOption)) {
        errors << ExportText::tr("TAVLO: --from and --to go with --export-csv FILE\n");
        return BadCommandLine;
    }
    if (parser.value(ExportOption).isEmpty()) {
        errors << ExportText::tr("TAVLO: --export-csv needs a file name (\"-\": the standard output)\n");
        return BadCommandLine;
    }
    if (!parser.positionalArguments().isEmpty()) {
        errors << ExportText::tr("TAVLO: \"%1\" is no option; the export takes --export-csv FILE, --from and --to\n")
                          .arg(parser.positionalArguments().constFirst());
        return BadCommandLine;
    }
    const QString target = parser.value(ExportOption);
    const std::optional<QDate> first = dateOption(parser, FromOption, errors);
    const std::optional<QDate> last = dateOption(parser, ToOption, errors);
    if (!first || !last)
        return BadCommandLine;
    if (first->isValid() && last->isValid() && *last < *first) {
        errors << ExportText::tr("TAVLO: --from %1 comes after --to %2\n").arg(first->toString(Qt::ISODate), last->toString(Qt::ISODate));
        return BadCommandLine;
    }

    QString failure;
    const std::optional<QString> path = databasePath(programFolder, failure);
    if (!path) {
        errors << QStringLiteral("TAVLO: %1\n").arg(failure);
        return DatabaseUnreadable;
    }
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const JournalCsv csv(zone);
    QByteArray bytes = csv.header();
    int rows = 0;
    try {
        WaitingListStore store(*path);
        store.open();
        JournalReader(store.database())
                .forEachEntry(first->isValid() ? ShiftReport::dayStart(*first, zone) : QDateTime(),
                              last->isValid() ? ShiftReport::dayStart(last->addDays(1), zone) : QDateTime(),
                              [&](const JournalRecord &entry) {
                                  bytes += csv.row(entry);
                                  ++rows;
                              });
    } catch (const StoreError &error) {
        const DatabaseAddress address = DatabaseAddress::parse(*path);
        errors << ExportText::tr("TAVLO: cannot read the database %1: %2\n")
                          .arg(address.isServer() ? address.shown() : QDir::toNativeSeparators(*path), error.message());
        return DatabaseUnreadable;
    }

    if (target == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
            errors << ExportText::tr("TAVLO: cannot write to the standard output\n");
            return CannotWrite;
        }
        return Done;
    }
    const QString written = writeFileOrDevice(target, bytes);
    if (!written.isEmpty()) {
        errors << ExportText::tr("TAVLO: cannot write %1: %2\n").arg(QDir::toNativeSeparators(target), written);
        return CannotWrite;
    }
    output << ExportText::tr("TAVLO: %1 %2 written to %3\n")
                      .arg(rows)
                      .arg(rows == 1 ? ExportText::tr("change") : ExportText::tr("changes"), QDir::toNativeSeparators(target));
    return Done;
}

} // namespace tavlo
