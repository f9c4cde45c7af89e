#pragma once

#include "store/WaitingListStore.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavlo::test {

// Journal entries as the room writes them, made by a test at the times it chooses.
class JournalBuilder {
public:
    explicit JournalBuilder(const QDateTime &start)
        : m_now(start)
    {
    }

    QDateTime now() const { return m_now; }
    void at(const QDateTime &time) { m_now = time; }
    void advanceMinutes(double minutes) { m_now = m_now.addMSecs(qint64(minutes * 60 * 1000)); }

    JournalRecord addGame(qint64 game, const QString &name)
    {
        return append(entry(QStringLiteral("add game"), game, 0, name, {}, {{QStringLiteral("position"), 0}}));
    }
    JournalRecord addPlayer(qint64 game, qint64 player, const QString &name, int position = 0)
    {
        return append(entry(QStringLiteral("add player"), game, player, gameName(game), name, placed(player, name, position, m_now)));
    }
    JournalRecord deletePlayer(qint64 game, qint64 player, const QString &name, int position, const QDateTime &added = {})
    {
        return append(entry(QStringLiteral("delete player"), game, player, gameName(game), name, placed(player, name, position, added)));
    }
    JournalRecord deleteAll(qint64 game, int players)
    {
        QJsonArray list;
        for (int i = 0; i < players; ++i)
            list.append(placed(1000 + i, QStringLiteral("P%1").arg(i), i, {}));
        return append(entry(QStringLiteral("delete all players"), game, 0, gameName(game), {}, {{QStringLiteral("players"), list}}));
    }
    JournalRecord movePlayer(qint64 game, qint64 player, const QString &name, int from, int to)
    {
        return append(entry(QStringLiteral("move player"), game, player, gameName(game), name,
                            {{QStringLiteral("from"), from}, {QStringLiteral("to"), to}}));
    }
    JournalRecord entry(const QString &command, qint64 game, qint64 player, const QString &gameName, const QString &playerName,
                        const QJsonObject &details)
    {
        JournalRecord e;
        e.id = ++m_lastId;
        e.madeAt = m_now;
        e.command = command;
        e.gameId = game;
        e.playerId = player;
        e.gameName = gameName;
        e.playerName = playerName;
        e.details = QJsonDocument(details).toJson(QJsonDocument::Compact);
        return e;
    }
    JournalRecord append(const JournalRecord &e)
    {
        entries.append(e);
        return e;
    }

    QList<JournalRecord> entries;

private:
    static QJsonObject placed(qint64 id, const QString &name, int position, const QDateTime &added)
    {
        return {{QStringLiteral("id"), id},
                {QStringLiteral("name"), name},
                {QStringLiteral("position"), position},
                {QStringLiteral("added"), added.isValid() ? QJsonValue(added.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue()}};
    }
    static QString gameName(qint64 game) { return QStringLiteral("Game %1").arg(game); }

    QDateTime m_now;
    qint64 m_lastId = 0;
};

} // namespace tavlo::test
