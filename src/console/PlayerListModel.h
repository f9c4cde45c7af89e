#pragma once

#include <QAbstractListModel>

namespace tavlo {

class Room;

// One game's waiting list: each row shows a player's name as stored, marker tags included.
// With no game set the list is empty.
class PlayerListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        PlayerIdRole = Qt::UserRole + 1,
        BareNameRole,  // the name without its marker tags
        MarkersRole,   // PlayerMarkers
        AddedAtRole,   // QDateTime, invalid when not known
    };

    explicit PlayerListModel(const Room &room, QObject *parent = nullptr);

    void setGame(qint64 gameId);
    qint64 gameId() const { return m_gameId; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    qint64 playerIdAt(int row) const;
    int rowOfPlayer(qint64 playerId) const;
    QString storedNameAt(int row) const;

private:
    void reset();

    const Room &m_room;
    qint64 m_gameId = 0;
};

} // namespace tavlo
