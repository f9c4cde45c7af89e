#include "store/JournalReader.h"

#include "base/StoredTime.h"
#include "store/Statement.h"
#include "store/StoreError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace tavlo {

namespace {

QDateTime timeOf(const QVariant &value)
{
    return value.isNull() ? QDateTime() : storedTime(value.toString());
}

} // namespace

JournalReader::JournalReader(const QSqlDatabase &database)
    : m_database(database)
{
}

QString JournalReader::timeText(const QDateTime &time)
{
    return storedTimeText(time);
}

QList<JournalRecord> JournalReader::entries(const QDateTime &from, const QDateTime &to) const
{
    QList<JournalRecord> list;
    forEachEntry(from, to, [&list](const JournalRecord &entry) { list.append(entry); });
    return list;
}

void JournalReader::forEachEntry(const QDateTime &from, const QDateTime &to,
                                 const std::function<void(const JournalRecord &)> &visit) const
{
    if (!m_database.isOpen())
        throw StoreError(QStringLiteral("The database %1 is not open.").arg(m_database.databaseName()));
    QString statement = QStringLiteral("SELECT id, made_at, desk, command, game_id, player_id, game_name, player_name, "
                                       "details, reverted FROM journal");
    QStringList conditions;
    QList<QString> bounds;
    if (from.isValid()) {
        conditions << QStringLiteral("made_at >= ?");
        bounds << timeText(from);
    }
    if (to.isValid()) {
        conditions << QStringLiteral("made_at < ?");
        bounds << timeText(to);
    }
    if (!conditions.isEmpty())
        statement += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    statement += QStringLiteral(" ORDER BY made_at, id");

    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw StoreError(wordsOf(query.lastError()));
    for (qsizetype i = 0; i < bounds.size(); ++i)
        query.bindValue(int(i), bounds[i]);
    if (!query.exec())
        throw StoreError(wordsOf(query.lastError()));
    JournalRecord entry;
    while (query.next()) {
        entry.id = query.value(0).toLongLong();
        entry.madeAt = timeOf(query.value(1));
        entry.desk = query.value(2).toString();
        entry.command = query.value(3).toString();
        entry.gameId = query.value(4).toLongLong();
        entry.playerId = query.value(5).toLongLong();
        entry.gameName = query.value(6).toString();
        entry.playerName = query.value(7).toString();
        entry.details = query.value(8).toString().toUtf8();
        entry.reverted = query.value(9).toLongLong() != 0;
        visit(entry);
    }
    if (query.lastError().isValid())
        throw StoreError(wordsOf(query.lastError()));
}

} // namespace tavlo
