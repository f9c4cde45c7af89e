#include "console/GameListModel.h"

#include "room/Room.h"

namespace tavlo {

GameListModel::GameListModel(const Room &room, QObject *parent)
    : QAbstractListModel(parent)
    , m_room(room)
{
    // The room has changed already; the views only need to read it again.
    connect(&room, &Room::gamesChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&room, &Room::gameRenamed, this, [this](int row) {
        if (row >= 0)
            emit dataChanged(index(row), index(row));
    });
}

int GameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_room.games().size());
}

QVariant GameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_room.games().size())
        return {};
    const Game &game = m_room.games()[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return game.name;
    case GameIdRole:
        return game.id;
    default:
        return {};
    }
}

qint64 GameListModel::gameIdAt(int row) const
{
    return row >= 0 && row < m_room.games().size() ? m_room.games()[row].id : 0;
}

} // namespace tavlo
