#pragma once

#include <QAbstractListModel>
#include <QList>

#include <optional>

namespace tavlo {

class Room;
enum class PanelCommand;

// One list of the room: its games, or one game's waiting list (its owner). It follows the room
// row by row (inserts, removals, moves, renames) and resets only when the room replaces the whole
// list. Its commands name entries by id and return the id they touched.
class RoomListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum class Kind { Games, Players };
    enum Role {
        IdRole = Qt::UserRole + 1,
        BareNameRole, // a player's name without its marker tags
        MarkersRole,  // a player's PlayerMarkers
        AddedAtRole,  // when a player joined (QDateTime, invalid when not known)
        CallEndsRole, // when a called player's countdown runs out (QDateTime, invalid when not called)
        AwaySinceRole, // since when a player is away (QDateTime, invalid when not away)
        OtherGamesRole, // the games the same person also waits for (QStringList)
        InterestRole,   // a game not running yet (bool)
    };

    RoomListModel(Room &room, Kind kind, QObject *parent = nullptr);

    Kind kind() const { return m_kind; }
    // The game whose players the list shows (0: none, the list is empty).
    void setOwner(qint64 gameId);
    qint64 owner() const { return m_owner; }
    // The owner's name; empty without one.
    QString ownerName() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    qint64 idAt(int row) const { return row >= 0 && row < m_ids.size() ? m_ids[row] : 0; }
    int rowOf(qint64 id) const { return id == 0 ? -1 : int(m_ids.indexOf(id)); }
    // Whether the room still holds the entry (it may have left it while the views are told).
    bool inRoom(qint64 id) const;
    // The entry's name as stored (a player's with its marker tags).
    QString nameOf(qint64 id) const { return data(index(rowOf(id)), Qt::EditRole).toString(); }

    // The room's commands on this list.
    std::optional<qint64> add(const QString &name);
    bool rename(qint64 id, const QString &name);
    bool remove(qint64 id);
    bool removeAll();
    bool move(qint64 id, int offset);
    bool moveToTop(qint64 id);
    // A command of the floor on a player (call, seat, ...); false for any other.
    bool floor(PanelCommand command, qint64 id);
    // A game not running yet becomes one that runs, and back.
    bool toggleInterest(qint64 gameId);
    // One person on several games' lists at once; the id of the entry on this list.
    std::optional<qint64> addToGames(const QList<qint64> &gameIds, const QString &name);
    // The names of the games the player's person also waits for.
    QStringList otherGames(qint64 id) const;
    // Gives the person's other entries the player's name and markers.
    void copyToOthers(qint64 id);
    // Whether a player of the list is called or away: its row then changes by the second.
    bool showsTimers() const;

private:
    // The ids the room holds for this list now.
    QList<qint64> roomIds() const;
    // Where the room holds a row's entry: the same place, but for the moment the views are told
    // of a change the room has made already; -1 for an entry it no longer holds.
    int roomRow(int row) const;
    bool isMine(qint64 gameId) const { return m_kind == Kind::Players && gameId == m_owner && gameId != 0; }
    void inserted(int row);
    void removed(int row);
    void moved(int from, int to);
    void renamed(int row);
    void reset();

    Room &m_room;
    const Kind m_kind;
    qint64 m_owner = 0;
    // What the views have been told: the room has changed already when it says so.
    QList<qint64> m_ids;
};

} // namespace tavlo
