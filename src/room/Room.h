#pragma once

#include "base/DeskIdentity.h"
#include "store/WaitingListStore.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace tavlo {

class Clock;

struct Player {
    qint64 id = 0;
    QString storedName; // the name with its marker tags, as stored
    QDateTime addedAt;  // when the player joined the list (UTC); invalid when not known
    bool operator==(const Player &) const = default;
};

struct Game {
    qint64 id = 0;
    QString name;
    QList<Player> players; // in their order on the waiting list
    bool operator==(const Game &) const = default;
};

// The room in memory: the games in order, each with its waiting list. Every command runs
// through the store as one transaction, which also writes the command into the journal, and,
// once it has landed, changes the room here and says what changed. A command that fails leaves
// the room as it was and reports the failure through storeFailed(). Names lose control
// characters before they are stored.
//
// The journal makes every change of this desk undoable: undo() reverts the last change exactly
// (rows, ids, positions and times), redo() makes it again; the history survives a restart and
// keeps the last historyLimit() changes. An undo or redo that cannot be done (its journal row
// cannot be read whole, another desk has changed what it was about, the store fails) changes
// nothing, is refused through commandRefused(), and its change leaves the history.
class Room : public QObject {
    Q_OBJECT
public:
    Room(WaitingListStore &store, const Clock &clock, const DeskIdentity &desk = {}, QObject *parent = nullptr);
    ~Room() override;

    // Reads the whole room, and this desk's history, from the store (a new desk first takes
    // over what its machine wrote before desks had identities); false (after storeFailed) when
    // it cannot.
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

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_history.size(); }
    // "Undo delete of Alice from Poker", "Redo ..."; empty when there is nothing to do.
    QString undoText() const;
    QString redoText() const;
    bool undo();
    bool redo();
    // The game and the player the next undo or redo is about (0 where none).
    struct Target {
        qint64 gameId = 0;
        qint64 playerId = 0;
    };
    Target undoTarget() const;
    Target redoTarget() const;
    // Forgets the history; the lists stay as they are.
    bool clearHistory();

    int historyLimit() const { return m_historyLimit; }
    void setHistoryLimit(int limit) { m_historyLimit = limit; }
    static constexpr int DefaultHistoryLimit = 1000;

signals:
    // What changed in memory, one step at a time, after the step: for views that follow the
    // room row by row. Indices are those after the step (a removed row's, where it stood).
    void gameInserted(int index);
    void gameRemoved(int index);
    void gameMoved(int from, int to);
    void gameRenamed(int index);
    void playerInserted(qint64 gameId, int index);
    void playerRemoved(qint64 gameId, int index);
    void playerMoved(qint64 gameId, int from, int to);
    void playerRenamed(qint64 gameId, int index);
    // A whole list, or the whole room, was replaced (read again, all players deleted or back).
    void playersReset(qint64 gameId);
    void gamesReset();
    // Coarser: the games themselves changed (added, renamed, deleted, moved, or the room was
    // reloaded), or a game's waiting list changed; once per command.
    void gamesChanged();
    void playersChanged(qint64 gameId);
    // Anything in the room changed; after the change has landed in the store.
    void changed();
    // What undo and redo would do has changed.
    void historyChanged();
    // A change was made, undone (the entry is marked reverted) or made again; it has landed.
    void changeRecorded(const tavlo::JournalRecord &entry);
    void storeFailed(const QString &message);
    // The room was read again after another desk changed it; views keep what they showed
    // where it still exists.
    void updatedElsewhere();
    // A command named a game or player another desk has just changed or removed (the room has
    // been read again), or an undo or redo could not be done. The message says so in plain words.
    void commandRefused(const QString &message);

private:
    struct Details;
    using Work = std::function<std::optional<JournalRecord>(WaitingListStore::Change &)>;
    // Runs one command in one transaction: the store's work, its journal entry, and the
    // history kept to its limit. The command's entry, or nothing when it changed nothing
    // (unset optional) or failed (false).
    bool perform(const Work &work, std::optional<JournalRecord> *entry = nullptr);
    bool run(const std::function<void()> &storeWork);
    // What another desk changed, read again: one game's players, or (0) the whole room.
    void readAgain(qint64 gameId);
    bool reloadRoom();
    bool step(bool forward);
    bool movePlayerBy(qint64 gameId, qint64 playerId, int offset, const QString &command);
    Game *findGame(qint64 gameId);

    // The room in memory follows each step the store takes.
    void insertGame(const Game &game, int position);
    void removeGame(qint64 gameId);
    void moveGameTo(qint64 gameId, int position);
    void insertPlayer(qint64 gameId, const Player &player, int position);
    void removePlayer(qint64 gameId, qint64 playerId);
    void movePlayerTo(qint64 gameId, qint64 playerId, int position);
    void setPlayerName(qint64 gameId, qint64 playerId, const QString &storedName);
    void setGameName(qint64 gameId, const QString &name);
    void setPlayers(qint64 gameId, QList<Player> players);
    void setGames(const QList<GameRecord> &records);

    // A journal entry's details read whole, or nothing when they cannot be (a command this
    // version does not know, a value missing or of another type).
    static std::optional<Details> readDetails(const JournalRecord &entry);
    // Throws Gone unless the rows the step acts on are there and those it brings back are not.
    static void requireRows(WaitingListStore::Change &change, const JournalRecord &entry, const Details &details, bool forward);
    // Reverts (or makes again) a journal entry's change, in the store and here.
    static void revert(WaitingListStore::Change &change, const JournalRecord &entry, const Details &details);
    static void reapply(WaitingListStore::Change &change, const JournalRecord &entry, const Details &details);
    void applyInMemory(const JournalRecord &entry, const Details &details, bool forward);

    WaitingListStore &m_store;
    const Clock &m_clock;
    DeskIdentity m_desk;
    QList<Game> m_games;
    QList<JournalRecord> m_history; // oldest first; those from m_done on are undone
    qsizetype m_done = 0;
    int m_historyLimit = DefaultHistoryLimit;
};

// The words for a change, as the Undo and Redo commands show them.
QString describeChange(const JournalRecord &entry);

} // namespace tavlo
