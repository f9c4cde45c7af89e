#pragma once

#include <QAbstractListModel>

namespace tavlo {

class Room;

// The room's games as a list: each row shows a game's name.
class GameListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { GameIdRole = Qt::UserRole + 1 };

    explicit GameListModel(const Room &room, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    qint64 gameIdAt(int row) const;

private:
    const Room &m_room;
};

} // namespace tavlo
