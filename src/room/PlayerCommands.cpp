#include "room/PlayerCommands.h"

#include "board/PlayerMarkers.h"
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

// The marker a toggle's name says, or nothing for another edit.
std::optional<Marker> markerOf(const QString &name)
{
    if (name == EditPlayer::BlinkName)
        return Marker::Blink;
    if (name == EditPlayer::StarName)
        return Marker::Star;
    if (name == EditPlayer::PhoneName)
        return Marker::Phone;
    return std::nullopt;
}

// The toggle's name as Undo and Redo show it; the journal keeps the name itself.
QString markerWord(Marker marker)
{
    switch (marker) {
    case Marker::Blink:
        return CommandText::tr("blink");
    case Marker::Star:
        return CommandText::tr("star");
    case Marker::Phone:
        return CommandText::tr("phone");
    }
    return {};
}

} // namespace

OnePlayer::OnePlayer(const QString &name, qint64 gameId, qint64 playerId)
    : Command(name)
{
    setRow(gameId, playerId, {});
}

QJsonObject OnePlayer::details() const
{
    return JournalDetails::write(m_placed);
}

QByteArray OnePlayer::placedText() const
{
    return JournalDetails::writeText(m_placed);
}

void OnePlayer::read(JournalDetails &details)
{
    m_placed = details.placed(&m_position);
    details.require(entry().playerId > 0 && m_placed.player.id == entry().playerId);
}

void OnePlayer::setPlaced(const PlacedPlayer &placed)
{
    m_placed = placed;
    m_position = placed.position;
}

void OnePlayer::bringBack(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    requireNoPlayer(change, entry().playerId);
    change.insertPlayerAt(entry().gameId, m_placed);
}

void OnePlayer::takeAway(WaitingListStore::Change &change) const
{
    change.playerPosition(entry().gameId, entry().playerId);
    change.deletePlayer(entry().gameId, entry().playerId);
}

void OnePlayer::follow(RoomEditor &room, bool onTheList) const
{
    if (onTheList)
        room.insertPlayer(entry().gameId, playerOf(m_placed.player), m_placed.position);
    else
        room.removePlayer(entry().gameId, entry().playerId);
}

AddPlayer::AddPlayer(qint64 gameId, const QString &storedName, const QDateTime &addedAt)
    : OnePlayer(Name, gameId, 0)
{
    setPlaced({{0, storedName, addedAt}, 0});
}

bool AddPlayer::make(WaitingListStore::Change &change)
{
    const qint64 gameId = entry().gameId;
    const QString storedName = placed().player.name;
    setPlaced(change.addPlayer(gameId, storedName, placed().player.addedAt));
    setRow(gameId, placed().player.id, change.gameName(gameId), storedName);
    return true;
}

QString AddPlayer::describe() const
{
    return CommandText::tr("add of %1 to %2").arg(entry().playerName, entry().gameName);
}

QString AddPlayer::whatHappened() const
{
    return QStringLiteral("added at place %1").arg(place(position().value_or(0)));
}

ListEffect AddPlayer::effect() const
{
    ListEffect effect;
    effect.added = 1;
    return effect;
}

DeletePlayer::DeletePlayer(qint64 gameId, qint64 playerId)
    : OnePlayer(Name, gameId, playerId)
{
}

bool DeletePlayer::make(WaitingListStore::Change &change)
{
    const std::optional<PlacedPlayer> gone = change.deletePlayer(entry().gameId, entry().playerId);
    if (!gone)
        return false;
    setPlaced(*gone);
    setRow(entry().gameId, entry().playerId, change.gameName(entry().gameId), gone->player.name);
    return true;
}

QString DeletePlayer::describe() const
{
    return CommandText::tr("delete of %1 from %2").arg(entry().playerName, entry().gameName);
}

QString DeletePlayer::whatHappened() const
{
    return QStringLiteral("deleted from place %1").arg(place(position().value_or(0)));
}

ListEffect DeletePlayer::effect() const
{
    ListEffect effect;
    effect.removed = 1;
    effect.leftOne = true;
    effect.position = position().value_or(-1);
    effect.addedAt = placed().player.addedAt;
    return effect;
}

EditPlayer::EditPlayer(qint64 gameId, qint64 playerId, const QString &storedName)
    : Command(Name)
    , m_after(storedName)
{
    setRow(gameId, playerId, {});
}

bool EditPlayer::make(WaitingListStore::Change &change)
{
    m_before = change.updatePlayer(entry().playerId, m_after);
    if (m_before == m_after)
        return false;
    const MarkedName old = readMarkers(m_before);
    const MarkedName now = readMarkers(m_after);
    const bool blink = old.markers.blink != now.markers.blink;
    const bool star = old.markers.star != now.markers.star;
    const bool phone = old.markers.phone != now.markers.phone;
    if (old.bareName == now.bareName && int(blink) + int(star) + int(phone) == 1)
        setName(blink ? BlinkName : star ? StarName : PhoneName);
    setRow(entry().gameId, entry().playerId, change.gameName(entry().gameId), m_after);
    return true;
}

void EditPlayer::undo(WaitingListStore::Change &change) const
{
    change.playerPosition(entry().gameId, entry().playerId);
    change.updatePlayer(entry().playerId, m_before);
}

void EditPlayer::redo(WaitingListStore::Change &change) const
{
    change.playerPosition(entry().gameId, entry().playerId);
    change.updatePlayer(entry().playerId, m_after);
}

void EditPlayer::apply(RoomEditor &room, bool forward) const
{
    room.setPlayerName(entry().gameId, entry().playerId, forward ? m_after : m_before);
}

QString EditPlayer::describe() const
{
    const std::optional<Marker> marker = markerOf(entry().command);
    if (!marker)
        return CommandText::tr("edit of %1 in %2").arg(entry().playerName, entry().gameName);
    const bool on = m_after.contains(tagOf(*marker));
    return CommandText::tr("%1 %2 for %3 in %4").arg(markerWord(*marker), on ? CommandText::tr("on") : CommandText::tr("off"), entry().playerName, entry().gameName);
}

QString EditPlayer::whatHappened() const
{
    const std::optional<Marker> marker = markerOf(entry().command);
    if (!marker)
        return QStringLiteral("name changed from %1 to %2").arg(readMarkers(m_before).bareName, readMarkers(m_after).bareName);
    return entry().command + QLatin1String(m_after.contains(tagOf(*marker)) ? " on" : " off");
}

QJsonObject EditPlayer::details() const
{
    return {{QStringLiteral("before"), m_before}, {QStringLiteral("after"), m_after}};
}

void EditPlayer::read(JournalDetails &details)
{
    m_before = details.text("before");
    m_after = details.text("after");
    details.require(entry().playerId > 0);
}

DeleteAllPlayers::DeleteAllPlayers(qint64 gameId)
    : Command(Name)
{
    setRow(gameId, 0, {});
}

bool DeleteAllPlayers::make(WaitingListStore::Change &change)
{
    m_players = change.deleteAllPlayers(entry().gameId);
    if (m_players.isEmpty())
        return false;
    setRow(entry().gameId, 0, change.gameName(entry().gameId));
    return true;
}

void DeleteAllPlayers::undo(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    for (const PlacedPlayer &placed : m_players)
        requireNoPlayer(change, placed.player.id);
    for (const PlacedPlayer &placed : m_players)
        change.insertPlayerAt(entry().gameId, placed);
}

void DeleteAllPlayers::redo(WaitingListStore::Change &change) const
{
    change.gamePosition(entry().gameId);
    change.deleteAllPlayers(entry().gameId);
}

void DeleteAllPlayers::apply(RoomEditor &room, bool forward) const
{
    room.setPlayers(entry().gameId, forward ? QList<Player>() : listOf(m_players));
}

QString DeleteAllPlayers::describe() const
{
    return CommandText::tr("delete of all players from %1").arg(entry().gameName);
}

QString DeleteAllPlayers::whatHappened() const
{
    return m_players.size() == 1 ? QStringLiteral("the only player deleted")
                                 : QStringLiteral("all %1 players deleted").arg(m_players.size());
}

ListEffect DeleteAllPlayers::effect() const
{
    ListEffect effect;
    effect.removed = int(m_players.size());
    return effect;
}

QJsonObject DeleteAllPlayers::details() const
{
    return {{QStringLiteral("players"), JournalDetails::write(m_players)}};
}

void DeleteAllPlayers::read(JournalDetails &details)
{
    m_players = details.players("players");
}

MovePlayer::MovePlayer(qint64 gameId, qint64 playerId, const QString &storedName, int offset)
    : MovePlayer(Name, gameId, playerId, storedName, offset)
{
}

MovePlayer::MovePlayer(const QString &name, qint64 gameId, qint64 playerId, const QString &storedName, int offset)
    : Command(name)
    , m_storedName(storedName)
    , m_offset(offset)
{
    setRow(gameId, playerId, {});
}

bool MovePlayer::make(WaitingListStore::Change &change)
{
    const qint64 gameId = entry().gameId;
    const qint64 playerId = entry().playerId;
    m_from = change.playerPosition(gameId, playerId);
    m_to = change.movePlayerTo(gameId, playerId, int(std::clamp<qint64>(qint64(m_from) + m_offset, 0, std::numeric_limits<int>::max())));
    if (m_to == m_from)
        return false;
    setRow(gameId, playerId, change.gameName(gameId), m_storedName);
    return true;
}

void MovePlayer::undo(WaitingListStore::Change &change) const
{
    change.playerPosition(entry().gameId, entry().playerId);
    change.movePlayerTo(entry().gameId, entry().playerId, m_from);
}

void MovePlayer::redo(WaitingListStore::Change &change) const
{
    change.playerPosition(entry().gameId, entry().playerId);
    change.movePlayerTo(entry().gameId, entry().playerId, m_to);
}

void MovePlayer::apply(RoomEditor &room, bool forward) const
{
    room.movePlayerTo(entry().gameId, entry().playerId, forward ? m_to : m_from);
}

QString MovePlayer::describe() const
{
    return CommandText::tr("move of %1 in %2").arg(entry().playerName, entry().gameName);
}

QString MovePlayer::whatHappened() const
{
    return QStringLiteral("moved from place %1 to %2").arg(place(m_from), place(m_to));
}

QJsonObject MovePlayer::details() const
{
    return {{QStringLiteral("from"), m_from}, {QStringLiteral("to"), m_to}};
}

QByteArray MovePlayer::detailsText() const
{
    return JournalDetails::writeMove(m_from, m_to);
}

void MovePlayer::read(JournalDetails &details)
{
    m_from = details.number("from").value_or(0);
    m_to = details.number("to").value_or(0);
    details.require(entry().playerId > 0);
}

// Far enough up for any list: the store stops at the top.
PlayerToTop::PlayerToTop(qint64 gameId, qint64 playerId, const QString &storedName)
    : MovePlayer(Name, gameId, playerId, storedName, std::numeric_limits<int>::min() / 2)
{
}

QString PlayerToTop::describe() const
{
    return CommandText::tr("move of %1 to the top of %2").arg(entry().playerName, entry().gameName);
}

QString PlayerToTop::whatHappened() const
{
    return QStringLiteral("moved to the top from place %1").arg(place(m_from));
}

} // namespace tavlo
