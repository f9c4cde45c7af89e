#include "console/PlayerListModel.h"

#include "board/PlayerMarkers.h"
#include "room/Room.h"

namespace tavlo {

PlayerListModel::PlayerListModel(const Room &room, QObject *parent)
    : QAbstractListModel(parent)
    , m_room(room)
{
    connect(&room, &Room::playersChanged, this, [this](qint64 gameId) {
        if (gameId == m_gameId)
            reset();
    });
    connect(&room, &Room::playerRenamed, this, [this](qint64 gameId, int row) {
        if (gameId == m_gameId && row >= 0)
            emit dataChanged(index(row), index(row));
    });
    connect(&room, &Room::gamesChanged, this, [this] {
        if (m_gameId != 0 && !m_room.game(m_gameId))
            setGame(0);
    });
}

void PlayerListModel::reset()
{
    // The room has changed already; the views only need to read it again.
    beginResetModel();
    endResetModel();
}

void PlayerListModel::setGame(qint64 gameId)
{
    m_gameId = gameId;
    reset();
}

int PlayerListModel::rowCount(const QModelIndex &parent) const
{
    const Game *game = m_room.game(m_gameId);
    return parent.isValid() || !game ? 0 : int(game->players.size());
}

QVariant PlayerListModel::data(const QModelIndex &index, int role) const
{
    const Game *game = m_room.game(m_gameId);
    if (!index.isValid() || !game || index.row() >= game->players.size())
        return {};
    const Player &player = game->players[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return player.storedName;
    case PlayerIdRole:
        return player.id;
    case BareNameRole:
        return readMarkers(player.storedName).bareName;
    case MarkersRole:
        return QVariant::fromValue(readMarkers(player.storedName).markers);
    case AddedAtRole:
        return player.addedAt;
    default:
        return {};
    }
}

qint64 PlayerListModel::playerIdAt(int row) const
{
    const Game *game = m_room.game(m_gameId);
    return game && row >= 0 && row < game->players.size() ? game->players[row].id : 0;
}

int PlayerListModel::rowOfPlayer(qint64 playerId) const
{
    const Game *game = m_room.game(m_gameId);
    for (qsizetype i = 0; game && i < game->players.size(); ++i) {
        if (game->players[i].id == playerId)
            return int(i);
    }
    return -1;
}

QString PlayerListModel::storedNameAt(int row) const
{
    const Game *game = m_room.game(m_gameId);
    return game && row >= 0 && row < game->players.size() ? game->players[row].storedName : QString();
}

} // namespace tavlo
