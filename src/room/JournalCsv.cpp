#include "room/JournalCsv.h"

#include "board/PlayerMarkers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavlo {

namespace {

const QString CRLF = QStringLiteral("\r\n");

// Places as the desk counts them, from 1.
QString place(const QJsonObject &details, const char *key)
{
    return QString::number(details.value(QLatin1String(key)).toInt() + 1);
}

QString bare(const QJsonObject &details, const char *key)
{
    return readMarkers(details.value(QLatin1String(key)).toString()).bareName;
}

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
    const QJsonObject details = QJsonDocument::fromJson(entry.details).object();
    const QString &c = entry.command;
    if (c == QLatin1String("add game"))
        return QStringLiteral("game added");
    if (c == QLatin1String("rename game"))
        return QStringLiteral("game renamed from %1 to %2")
                .arg(details.value(QLatin1String("before")).toString(), details.value(QLatin1String("after")).toString());
    if (c == QLatin1String("delete game")) {
        const qsizetype players = details.value(QLatin1String("players")).toArray().size();
        return players == 1 ? QStringLiteral("game deleted with 1 player")
                            : QStringLiteral("game deleted with %1 players").arg(players);
    }
    if (c == QLatin1String("move game"))
        return QStringLiteral("game moved from place %1 to %2").arg(place(details, "from"), place(details, "to"));
    if (c == QLatin1String("add player"))
        return QStringLiteral("added at place %1").arg(place(details, "position"));
    if (c == QLatin1String("edit player"))
        return QStringLiteral("name changed from %1 to %2").arg(bare(details, "before"), bare(details, "after"));
    if (c == QLatin1String("blink") || c == QLatin1String("star") || c == QLatin1String("phone")) {
        const Marker marker = c == QLatin1String("blink") ? Marker::Blink : c == QLatin1String("star") ? Marker::Star : Marker::Phone;
        const bool on = details.value(QLatin1String("after")).toString().contains(tagOf(marker));
        return c + QLatin1String(on ? " on" : " off");
    }
    if (c == QLatin1String("delete player"))
        return QStringLiteral("deleted from place %1").arg(place(details, "position"));
    if (c == QLatin1String("delete all players")) {
        const qsizetype players = details.value(QLatin1String("players")).toArray().size();
        return players == 1 ? QStringLiteral("the only player deleted") : QStringLiteral("all %1 players deleted").arg(players);
    }
    if (c == QLatin1String("move player"))
        return QStringLiteral("moved from place %1 to %2").arg(place(details, "from"), place(details, "to"));
    if (c == QLatin1String("player to top"))
        return QStringLiteral("moved to the top from place %1").arg(place(details, "from"));
    return c;
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
