#include "room/GameCommands.h"

#include "room/JournalDetails.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace tavlo {

namespace {

struct CommandText {
    Q_DECLARE_TR_FUNCTIONS(Command)
};

// Places as the desk counts them, from 1.
QString place(int position)
{
    return QString::number(position + 1);
}

// A deleted game back where it stood, with its players: in the store, then in memory.
void bringBack(WaitingListStore::Change &change, const JournalRecord &row, int position, const QList<PlacedPlayer> &players)
{
    change.insertGameAt(row.gameId, row.gameName, position);
    for (const PlacedPlayer &placed : players)
        change.insertPlayerAt(row.gameId, placed);
}

} // namespace

AddGame::AddGame(const QString &name)
    : Command(Name)
{
    setRow(0, 0, name);
}

bool AddGame::make(WaitingListStore::Change &change)
{
    const qint64 id = change.addGame(entry().gameName);
    m_position = change.gamePosition(id);
    setRow(id, 0, entry().gameName);
    return true;
}

void AddGame::undo(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    change.deleteGame(entry().gameId);
}

void AddGame::redo(WaitingListStore::Change &change) const
{
    requireNoGame(change, entry().gameId);
    bringBack(change, entry(), m_position, {});
}

void AddGame::apply(RoomEditor &room, bool forward) const
{
    if (forward)
        room.insertGame({entry().gameId, entry().gameName, {}}, m_position);
    else
        room.removeGame(entry().gameId);
}

QString AddGame::describe() const
{
    return CommandText::tr("add of game %1").arg(entry().gameName);
}

QString AddGame::whatHappened() const
{
    return QStringLiteral("game added");
}

ListEffect AddGame::effect() const
{
    ListEffect effect;
    effect.gameAdded = true;
    return effect;
}

QJsonObject AddGame::details() const
{
    return {{QStringLiteral("position"), m_position}};
}

void AddGame::read(JournalDetails &details)
{
    m_position = details.number("position").value_or(0);
}

RenameGame::RenameGame(qint64 gameId, const QString &name)
    : Command(Name)
    , m_after(name)
{
    setRow(gameId, 0, name);
}

bool RenameGame::make(WaitingListStore::Change &change)
{
    m_before = change.gameName(entry().gameId);
    change.renameGame(entry().gameId, m_after);
    return m_before != m_after;
}

void RenameGame::undo(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    change.renameGame(entry().gameId, m_before);
}

void RenameGame::redo(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    change.renameGame(entry().gameId, m_after);
}

void RenameGame::apply(RoomEditor &room, bool forward) const
{
    room.setGameName(entry().gameId, forward ? m_after : m_before);
}

QString RenameGame::describe() const
{
    return CommandText::tr("rename of game %1 to %2").arg(m_before, m_after);
}

QString RenameGame::whatHappened() const
{
    return QStringLiteral("game renamed from %1 to %2").arg(m_before, m_after);
}

QJsonObject RenameGame::details() const
{
    return {{QStringLiteral("before"), m_before}, {QStringLiteral("after"), m_after}};
}

void RenameGame::read(JournalDetails &details)
{
    m_before = details.text("before");
    m_after = details.text("after");
}

DeleteGame::DeleteGame(qint64 gameId)
    : Command(Name)
{
    setRow(gameId, 0, {});
}

bool DeleteGame::make(WaitingListStore::Change &change)
{
    const qint64 id = entry().gameId;
    m_position = change.gamePosition(id);
    m_interest = change.gameInterest(id);
    setRow(id, 0, change.gameName(id));
    m_players = change.deleteGame(id);
    return true;
}

void DeleteGame::undo(WaitingListStore::Change &change) const
{
    requireNoGame(change, entry().gameId);
    for (const PlacedPlayer &placed : m_players)
        requireNoPlayer(change, placed.player.id);
    bringBack(change, entry(), m_position, m_players);
    if (m_interest)
        change.setGameInterest(entry().gameId, true);
}

void DeleteGame::redo(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    change.deleteGame(entry().gameId);
}

void DeleteGame::apply(RoomEditor &room, bool forward) const
{
    if (forward)
        room.removeGame(entry().gameId);
    else
        room.insertGame({entry().gameId, entry().gameName, listOf(m_players), m_interest}, m_position);
}

QString DeleteGame::describe() const
{
    return CommandText::tr("delete of game %1").arg(entry().gameName);
}

QString DeleteGame::whatHappened() const
{
    return m_players.size() == 1 ? QStringLiteral("game deleted with 1 player")
                                 : QStringLiteral("game deleted with %1 players").arg(m_players.size());
}

ListEffect DeleteGame::effect() const
{
    ListEffect effect;
    effect.removed = int(m_players.size());
    return effect;
}

QJsonObject DeleteGame::details() const
{
    QJsonObject object{{QStringLiteral("position"), m_position}, {QStringLiteral("players"), JournalDetails::write(m_players)}};
    if (m_interest)
        object.insert(QStringLiteral("interest"), true);
    return object;
}

void DeleteGame::read(JournalDetails &details)
{
    m_position = details.number("position").value_or(0);
    m_players = details.players("players");
    m_interest = details.object().value(QLatin1String("interest")).toBool();
}

MoveGame::MoveGame(qint64 gameId, int offset)
    : Command(Name)
    , m_offset(offset)
{
    setRow(gameId, 0, {});
}

bool MoveGame::make(WaitingListStore::Change &change)
{
    const qint64 id = entry().gameId;
    m_from = change.gamePosition(id);
    m_to = change.moveGameTo(id, int(std::clamp<qint64>(qint64(m_from) + m_offset, 0, std::numeric_limits<int>::max())));
    if (m_to == m_from)
        return false;
    setRow(id, 0, change.gameName(id));
    return true;
}

void MoveGame::undo(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    change.moveGameTo(entry().gameId, m_from);
}

void MoveGame::redo(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    change.moveGameTo(entry().gameId, m_to);
}

void MoveGame::apply(RoomEditor &room, bool forward) const
{
    room.moveGameTo(entry().gameId, forward ? m_to : m_from);
}

QString MoveGame::describe() const
{
    return CommandText::tr("move of game %1").arg(entry().gameName);
}

QString MoveGame::whatHappened() const
{
    return QStringLiteral("game moved from place %1 to %2").arg(place(m_from), place(m_to));
}

QJsonObject MoveGame::details() const
{
    return {{QStringLiteral("from"), m_from}, {QStringLiteral("to"), m_to}};
}

QByteArray MoveGame::detailsText() const
{
    return JournalDetails::writeMove(m_from, m_to);
}

void MoveGame::read(JournalDetails &details)
{
    m_from = details.number("from").value_or(0);
    m_to = details.number("to").value_or(0);
}

} // namespace tavlo
