#include "room/JournalCsv.h"

#include "room/Command.h"

namespace tavlo {

namespace {

const QString CRLF = QStringLiteral("\r\n");

} // namespace

JournalCsv::JournalCsv(const QTimeZone &zone)
    : m_zone(zone)
{
}

QString JournalCsv::field(const QString &text)
{
    // A spreadsheet runs a cell that starts like a formula; the apostrophe makes it text.
    const bool formula = !text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front());
    if (!formula && !text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\r'))
        && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = formula ? QLatin1Char('\'') + text : text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString JournalCsv::whatHappened(const JournalRecord &entry)
{
    return Command::fromJournal(entry)->whatHappened();
}

QByteArray JournalCsv::header() const
{
    return QByteArrayLiteral("Time,Game,Player,What happened,Undone\r\n");
}

QByteArray JournalCsv::row(const JournalRecord &entry) const
{
    const QString line = field(entry.madeAt.toTimeZone(m_zone).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) + QLatin1Char(',')
            + field(entry.gameName) + QLatin1Char(',') + field(entry.playerName) + QLatin1Char(',')
            + field(whatHappened(entry)) + QLatin1Char(',') + QLatin1String(entry.reverted ? "yes" : "") + CRLF;
    return line.toUtf8();
}

QByteArray JournalCsv::document(const QList<JournalRecord> &entries) const
{
    QByteArray bytes = header();
    bytes.reserve(bytes.size() + entries.size() * 64);
    for (const JournalRecord &entry : entries)
        bytes += row(entry);
    return bytes;
}

} // namespace tavlo
