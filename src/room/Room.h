#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace tavlo {

class WaitingListStore;

struct Player {
    qint64 id = 0;
    QString storedName; // the name with its marker tags, as stored
    bool operator==(const Player &) const = default;
};

struct Game {
    qint64 id = 0;
    QString name;
    QList<Player> players; // in their order on the waiting list
    bool operator==(const Game &) const = default;
};

// The room in memory: the games in order, each with its waiting list. Every command runs
// through the store as one transaction and, once it has landed, changes the room here and
// says what changed. A command that fails leaves the room as it was and reports the failure
// through storeFailed(). Names lose control characters before they are stored.
class Room : public QObject {
    Q_OBJECT
public:
    explicit Room(WaitingListStore &store, QObject *parent = nullptr);

    // Reads the whole room from the store; false (after storeFailed) when it cannot.
    bool load();

    const QList<Game> &games() const { return m_games; }
    int indexOfGame(qint64 gameId) const;
    const Game *game(qint64 gameId) const;
    int indexOfPlayer(qint64 gameId, qint64 playerId) const;

    // Each returns the new row's id, or nothing when the command failed.
    std::optional<qint64> addGame(const QString &name);
    std::optional<qint64> addPlayer(qint64 gameId, const QString &storedName);
    // Each returns whether the command landed.
    bool renameGame(qint64 gameId, const QString &name);
    bool deleteGame(qint64 gameId);
    bool moveGame(qint64 gameId, int offset);
    bool updatePlayer(qint64 gameId, qint64 playerId, const QString &storedName);
    bool deletePlayer(qint64 gameId, qint64 playerId);
    bool deleteAllPlayers(qint64 gameId);
    bool movePlayer(qint64 gameId, qint64 playerId, int offset);
    bool movePlayerToTop(qint64 gameId, qint64 playerId);

signals:
    // The games themselves changed: added, renamed, deleted, moved, or the room was reloaded.
    void gamesChanged();
    // A game's waiting list changed.
    void playersChanged(qint64 gameId);
    // Anything in the room changed; after the change has landed in the store.
    void changed();
    void storeFailed(const QString &message);

private:
    bool run(const std::function<void()> &storeWork);
    Game *findGame(qint64 gameId);

    WaitingListStore &m_store;
    QList<Game> m_games;
};

} // namespace tavlo
