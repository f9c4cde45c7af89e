#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

class QThread;

namespace tavlo {

// Where a player on the floor stands besides the list: called (since when, for how long) and
// away from the table (since when). Invalid times mean not called, not away.
struct FloorState {
    QDateTime calledAt;
    int callSeconds = 0;
    QDateTime awaySince;
    bool isCalled() const { return calledAt.isValid(); }
    bool isAway() const { return awaySince.isValid(); }
    // When the call's countdown runs out.
    QDateTime callEnds() const { return calledAt.addSecs(callSeconds); }
    bool operator==(const FloorState &) const = default;
};

struct PlayerRecord {
    qint64 id = 0;
    QString name;       // as stored, marker tags included
    QDateTime addedAt;  // UTC; invalid for players from before the time was kept
    FloorState state{};
    qint64 personId = 0; // shared by one person's entries on several lists; 0 for one list only
    bool operator==(const PlayerRecord &) const = default;
};

struct GameRecord {
    qint64 id = 0;
    QString name;
    QList<PlayerRecord> players; // in their order on the list
    bool interest = false;       // not running yet: a list of those interested
    bool operator==(const GameRecord &) const = default;
};

// A player as it stood on its list: what bringing it back needs.
struct PlacedPlayer {
    PlayerRecord player;
    int position = 0;
    bool operator==(const PlacedPlayer &) const = default;
};

// One change in the journal.
struct JournalRecord {
    qint64 id = 0;
    QDateTime madeAt;
    QString desk;       // the name of the machine it was made on, as people know it
    QString command;    // "add player", "delete game", ...
    qint64 gameId = 0;
    qint64 playerId = 0;
    QString gameName;
    QString playerName; // without marker tags
    QByteArray details; // what undoing and redoing the change need
    bool reverted = false;
    // The console installation that made it (clones of one machine share a name, not this);
    // empty in rows from before installations had one, until their desk claims them.
    QString deskId;
    bool operator==(const JournalRecord &) const = default;
};

// The database file of games and players, and every statement the program runs on it.
// A change is one transaction (a Change); positions (listbox_order) are worked out inside it
// from what the file holds, so after every change each game's players, and the games
// themselves, stand at 0, 1, ... n-1. Failures throw StoreError; nothing here shows a message
// or ends the program.
class WaitingListStore {
    class Statements;

public:
    // The DataBase setting: a file path, or a PostgreSQL address for a room of several desks.
    explicit WaitingListStore(const QString &databaseSetting);
    ~WaitingListStore();
    WaitingListStore(const WaitingListStore &) = delete;
    WaitingListStore &operator=(const WaitingListStore &) = delete;

    QString databasePath() const { return m_path; }
    // Whether the lists live on a server other desks share.
    bool isShared() const;
    // The open connection, for readers of their own (the journal's reports); invalid when closed.
    QSqlDatabase database() const { return m_database; }

    // Opens the file and brings it to the current layout; a missing file is a failure and is
    // never created. On a server, an empty database is laid out on the first connection.
    void open();
    bool isOpen() const;
    void close();
    // A connection belongs to the thread that opened it: this gives it to another, from there.
    void handOver(QThread *thread);

    // Every game in order, each with its players in order.
    QList<GameRecord> readRoom();
    // One game's players in order.
    QList<PlayerRecord> readPlayers(qint64 gameId);

    // On a shared server, what another desk changed arrives here once it has committed: the
    // game whose players changed, or 0 when the games themselves did.
    void setRemoteChangeHandler(std::function<void(qint64 gameId)> handler);
    // A desk's changes that can still be undone or redone, oldest first.
    QList<JournalRecord> history(const QString &deskId);

    // One transaction: it takes the write lock at once, lands whole with commit(), and rolls
    // back whatever happened if it ends any other way.
    class Change {
    public:
        explicit Change(WaitingListStore &store);
        ~Change();
        Change(const Change &) = delete;
        Change &operator=(const Change &) = delete;
        void commit();

        qint64 addGame(const QString &name);
        void renameGame(qint64 gameId, const QString &name);
        // Deletes the game and its players; returns them as they stood.
        QList<PlacedPlayer> deleteGame(qint64 gameId);
        // Both return where the entry stands after the move, the position kept within the list.
        int moveGameTo(qint64 gameId, int position);
        int gamePosition(qint64 gameId);
        QString gameName(qint64 gameId);
        bool gameInterest(qint64 gameId);
        void setGameInterest(qint64 gameId, bool interest);
        int gameCount();

        PlacedPlayer addPlayer(qint64 gameId, const QString &storedName, const QDateTime &addedAt);
        // Returns the name it had.
        QString updatePlayer(qint64 playerId, const QString &storedName);
        // The player as it stood, or nothing when it was gone already.
        std::optional<PlacedPlayer> deletePlayer(qint64 gameId, qint64 playerId);
        QList<PlacedPlayer> deleteAllPlayers(qint64 gameId);
        int movePlayerTo(qint64 gameId, qint64 playerId, int position);
        // The player as it stands now, or nothing when it is not on that list.
        std::optional<PlacedPlayer> placedPlayer(qint64 gameId, qint64 playerId);
        // Returns the state it had.
        FloorState setFloorState(qint64 gameId, qint64 playerId, const FloorState &state);
        void setPerson(qint64 gameId, qint64 playerId, qint64 personId);
        // The person's other entries, as (game, player), oldest first; none for person 0.
        QList<std::pair<qint64, qint64>> linkedEntries(qint64 personId, qint64 playerId);
        int playerPosition(qint64 gameId, qint64 playerId);
        int playerCount(qint64 gameId);
        bool hasGame(qint64 gameId);
        bool hasPlayer(qint64 playerId);

        // Bringing back what a change took away, ids and all.
        void insertGameAt(qint64 gameId, const QString &name, int position);
        void insertPlayerAt(qint64 gameId, const PlacedPlayer &player);

        qint64 record(const JournalRecord &entry);
        void setReverted(qint64 journalId, bool reverted, const QDateTime &at);
        // Takes changes out of the history: they can no longer be undone or redone.
        void retire(const QList<qint64> &journalIds);
        // Makes the changes a machine wrote under its name alone, before its installations had
        // identities, the history of this one.
        void adoptHistory(const QString &hostName, const QString &deskId);

    private:
        // Each makes the order whole if it may not be; the first two count it too.
        qint64 wholeGameOrder();
        qint64 wholePlayerOrder(qint64 gameId);
        void ensureWholeGameOrder();
        void ensureWholePlayerOrder(qint64 gameId);
        QList<PlacedPlayer> placedPlayers(qint64 gameId);
        // What the change touched, for the other desks to read again. Every write to an order
        // touches it first, so that its length is counted again before it is next relied on
        // (it stays whole: each write of ours keeps it so).
        void touchGames()
        {
            m_gamesTouched = true;
            m_gameCount.reset();
        }
        void touchPlayers(qint64 gameId)
        {
            m_playersTouched.insert(gameId);
            m_playerCounts.erase(gameId);
        }

        WaitingListStore &m_store;
        Statements &m_statements;
        bool m_committed = false;
        bool m_gamesTouched = false;
        std::set<qint64> m_playersTouched;
        // The orders found whole since they were last written, and their lengths: the change
        // holds the write lock, so nobody else moves them meanwhile.
        std::optional<qint64> m_gameCount;
        std::map<qint64, qint64> m_playerCounts;
    };

private:
    // Throws unless the file is open and still where it was opened.
    void requireOpenFile();

    QString m_path;
    bool m_server = false;
    std::function<void(qint64)> m_remoteChange;
    QString m_connectionName;
    QSqlDatabase m_database;
    std::unique_ptr<Statements> m_statements;
};

} // namespace tavlo
