#include "console/RoomListModel.h"

#include "board/PlayerMarkers.h"
#include "console/ListPanel.h"
#include "room/Room.h"

#include <algorithm>

namespace tavlo {

RoomListModel::RoomListModel(Room &room, Kind kind, QObject *parent)
    : QAbstractListModel(parent)
    , m_room(room)
    , m_kind(kind)
{
    if (kind == Kind::Games) {
        connect(&room, &Room::gameInserted, this, &RoomListModel::inserted);
        connect(&room, &Room::gameRemoved, this, &RoomListModel::removed);
        connect(&room, &Room::gameMoved, this, &RoomListModel::moved);
        connect(&room, &Room::gameRenamed, this, &RoomListModel::renamed);
        connect(&room, &Room::gamesReset, this, &RoomListModel::reset);
        reset();
        return;
    }
    connect(&room, &Room::playerInserted, this, [this](qint64 gameId, int row) {
        if (isMine(gameId))
            inserted(row);
    });
    connect(&room, &Room::playerRemoved, this, [this](qint64 gameId, int row) {
        if (isMine(gameId))
            removed(row);
    });
    connect(&room, &Room::playerMoved, this, [this](qint64 gameId, int from, int to) {
        if (isMine(gameId))
            moved(from, to);
    });
    connect(&room, &Room::playerRenamed, this, [this](qint64 gameId, int row) {
        if (isMine(gameId))
            renamed(row);
    });
    connect(&room, &Room::playersReset, this, [this](qint64 gameId) {
        if (isMine(gameId))
            reset();
    });
    connect(&room, &Room::gamesReset, this, &RoomListModel::reset);
    // The owner deleted: its players went with it.
    connect(&room, &Room::gameRemoved, this, [this] {
        if (m_owner != 0 && !m_room.game(m_owner))
            setOwner(0);
    });
}

void RoomListModel::setOwner(qint64 gameId)
{
    // The list already follows its owner row by row.
    if (gameId == m_owner)
        return;
    m_owner = gameId;
    reset();
}

QString RoomListModel::ownerName() const
{
    const Game *game = m_room.game(m_owner);
    return game ? game->name : QString();
}

bool RoomListModel::inRoom(qint64 id) const
{
    return (m_kind == Kind::Games ? m_room.indexOfGame(id) : m_room.indexOfPlayer(m_owner, id)) >= 0;
}

QList<qint64> RoomListModel::roomIds() const
{
    QList<qint64> ids;
    if (m_kind == Kind::Games) {
        ids.reserve(m_room.games().size());
        for (const Game &game : m_room.games())
            ids.append(game.id);
    } else if (const Game *game = m_room.game(m_owner)) {
        ids.reserve(game->players.size());
        for (const Player &player : game->players)
            ids.append(player.id);
    }
    return ids;
}

void RoomListModel::inserted(int row)
{
    beginInsertRows({}, row, row);
    m_ids.insert(row, m_kind == Kind::Games ? m_room.games()[row].id : m_room.game(m_owner)->players[row].id);
    endInsertRows();
}

void RoomListModel::removed(int row)
{
    beginRemoveRows({}, row, row);
    m_ids.removeAt(row);
    endRemoveRows();
}

void RoomListModel::moved(int from, int to)
{
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    m_ids.move(from, to);
    endMoveRows();
}

void RoomListModel::renamed(int row)
{
    emit dataChanged(index(row), index(row));
}

void RoomListModel::reset()
{
    beginResetModel();
    m_ids = roomIds();
    endResetModel();
}

int RoomListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int RoomListModel::roomRow(int row) const
{
    const qint64 id = m_ids[row];
    if (m_kind == Kind::Games)
        return row < m_room.games().size() && m_room.games()[row].id == id ? row : m_room.indexOfGame(id);
    const Game *game = m_room.game(m_owner);
    return game && row < game->players.size() && game->players[row].id == id ? row : m_room.indexOfPlayer(m_owner, id);
}

QVariant RoomListModel::data(const QModelIndex &index, int role) const
{
    const int row = index.isValid() && index.row() < m_ids.size() ? roomRow(index.row()) : -1;
    if (row < 0)
        return {};
    if (role == IdRole)
        return m_ids[index.row()];
    if (m_kind == Kind::Games) {
        const Game &game = m_room.games()[row];
        if (role == InterestRole)
            return game.interest;
        return role == Qt::DisplayRole || role == Qt::EditRole ? QVariant(game.name) : QVariant();
    }
    const Player &player = m_room.game(m_owner)->players[row];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return player.storedName;
    case BareNameRole:
        return readMarkers(player.storedName).bareName;
    case MarkersRole:
        return QVariant::fromValue(readMarkers(player.storedName).markers);
    case AddedAtRole:
        return player.addedAt;
    case CallEndsRole:
        return player.state.isCalled() ? player.state.callEnds() : QDateTime();
    case AwaySinceRole:
        return player.state.awaySince;
    case OtherGamesRole:
        return player.personId == 0 ? QStringList() : otherGames(player.id);
    default:
        return {};
    }
}

std::optional<qint64> RoomListModel::add(const QString &name)
{
    return m_kind == Kind::Games ? m_room.addGame(name) : m_room.addPlayer(m_owner, name);
}

bool RoomListModel::rename(qint64 id, const QString &name)
{
    return m_kind == Kind::Games ? m_room.renameGame(id, name) : m_room.updatePlayer(m_owner, id, name);
}

bool RoomListModel::remove(qint64 id)
{
    return m_kind == Kind::Games ? m_room.deleteGame(id) : m_room.deletePlayer(m_owner, id);
}

bool RoomListModel::removeAll()
{
    return m_kind == Kind::Players && m_room.deleteAllPlayers(m_owner);
}

bool RoomListModel::move(qint64 id, int offset)
{
    return m_kind == Kind::Games ? m_room.moveGame(id, offset) : m_room.movePlayer(m_owner, id, offset);
}

bool RoomListModel::moveToTop(qint64 id)
{
    return m_kind == Kind::Players && m_room.movePlayerToTop(m_owner, id);
}

bool RoomListModel::floor(PanelCommand command, qint64 id)
{
    const Game *game = m_kind == Kind::Players ? m_room.game(m_owner) : nullptr;
    const int row = game ? m_room.indexOfPlayer(m_owner, id) : -1;
    if (row < 0)
        return false;
    switch (command) {
    case PanelCommand::Call:
        return m_room.callPlayer(m_owner, id);
    case PanelCommand::CancelCall:
        return m_room.cancelCall(m_owner, id);
    case PanelCommand::Seat:
    case PanelCommand::SeatKeepOthers:
        return m_room.seatPlayer(m_owner, id, command == PanelCommand::SeatKeepOthers);
    case PanelCommand::NoShow:
        return m_room.noShow(m_owner, id);
    case PanelCommand::Away: // away, or back
        return m_room.setAway(m_owner, id, !game->players[row].state.isAway());
    default:
        return false;
    }
}

std::optional<qint64> RoomListModel::addToGames(const QList<qint64> &gameIds, const QString &name)
{
    if (m_kind != Kind::Players || !gameIds.contains(m_owner) || !m_room.addPlayerToGames(gameIds, name))
        return std::nullopt;
    // The entry on this list is the one just added at its end.
    const Game *game = m_room.game(m_owner);
    return game && !game->players.isEmpty() ? std::optional(game->players.last().id) : std::nullopt;
}

QStringList RoomListModel::otherGames(qint64 id) const
{
    QStringList names;
    if (m_kind == Kind::Players) {
        for (const auto &[gameId, playerId] : m_room.otherEntries(m_owner, id))
            names << m_room.game(gameId)->name;
    }
    return names;
}

void RoomListModel::copyToOthers(qint64 id)
{
    const QString name = nameOf(id);
    for (const auto &[gameId, playerId] : m_room.otherEntries(m_owner, id)) {
        if (!m_room.updatePlayer(gameId, playerId, name))
            return;
    }
}

bool RoomListModel::toggleInterest(qint64 gameId)
{
    const Game *game = m_kind == Kind::Games ? m_room.game(gameId) : nullptr;
    return game && m_room.setInterest(gameId, !game->interest);
}

bool RoomListModel::showsTimers() const
{
    const Game *game = m_kind == Kind::Players ? m_room.game(m_owner) : nullptr;
    if (!game)
        return false;
    return std::ranges::any_of(game->players, [](const Player &p) { return p.state.isCalled() || p.state.isAway(); });
}

} // namespace tavlo
