#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace tavlo {

struct PlayerRecord {
    qint64 id = 0;
    QString name; // as stored, marker tags included
    bool operator==(const PlayerRecord &) const = default;
};

struct GameRecord {
    qint64 id = 0;
    QString name;
    QList<PlayerRecord> players; // in their order on the list
    bool operator==(const GameRecord &) const = default;
};

// The database file of games and players, and every statement the program runs on it.
// Each command is one transaction: it lands whole or, on any failure, not at all. Positions
// (listbox_order) are worked out inside that transaction from what the file holds, and after
// every command each game's players, and the games themselves, stand at 0, 1, ... n-1.
// Failures throw StoreError; nothing here shows a message or ends the program.
class WaitingListStore {
public:
    explicit WaitingListStore(const QString &databasePath);
    ~WaitingListStore();
    WaitingListStore(const WaitingListStore &) = delete;
    WaitingListStore &operator=(const WaitingListStore &) = delete;

    QString databasePath() const { return m_path; }

    // Opens the file; a missing file is a failure and is never created.
    void open();
    bool isOpen() const;
    void close();

    // Every game in order, each with its players in order.
    QList<GameRecord> readRoom();

    qint64 addGame(const QString &name);
    void renameGame(qint64 gameId, const QString &name);
    // Deletes the game's players, then the game, and closes the gap it leaves.
    void deleteGame(qint64 gameId);
    // Swaps the game with its neighbour above (offset -1) or below (+1), where there is one.
    void moveGame(qint64 gameId, int offset);

    qint64 addPlayer(qint64 gameId, const QString &storedName);
    void updatePlayer(qint64 playerId, const QString &storedName);
    void deletePlayer(qint64 gameId, qint64 playerId);
    void deleteAllPlayers(qint64 gameId);
    void movePlayer(qint64 gameId, qint64 playerId, int offset);
    void movePlayerToTop(qint64 gameId, qint64 playerId);

private:
    class Statements;
    class Transaction;

    // Throws unless the file is open and still where it was opened.
    void requireOpenFile();
    // The order made whole where it is not (gaps or repeats from elsewhere); the number of rows.
    qint64 wholeGameOrder();
    qint64 wholePlayerOrder(qint64 gameId);

    QString m_path;
    QString m_connectionName;
    QSqlDatabase m_database;
    std::unique_ptr<Statements> m_statements;
};

} // namespace tavlo
