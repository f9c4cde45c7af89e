#pragma once

#include "base/DeskIdentity.h"
#include "room/Command.h"
#include "room/Game.h"
#include "room/UndoHistory.h"
#include "store/WaitingListStore.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace tavlo {

class Clock;

// The room in memory: the games in order, each with its waiting list. Every command (a
// Command) runs through the store as one transaction, which also writes its journal row, and,
// once it has landed, changes the room here and says what changed. A command that fails leaves
// the room as it was and reports the failure through storeFailed(). Names lose control
// characters before they are stored.
//
// The journal makes every change of this desk undoable: undo() reverts the last change exactly
// (rows, ids, positions and times), redo() makes it again; the history survives a restart and
// keeps the last historyLimit() changes. An undo or redo that cannot be done (its journal row
// cannot be read whole, another desk has changed what it was about, the store fails) changes
// nothing, is refused through commandRefused(), and its change leaves the history (an
// UndoHistory, which keeps the order and the texts).
class Room : public QObject, private RoomEditor {
    Q_OBJECT
public:
    Room(WaitingListStore &store, const Clock &clock, const DeskIdentity &desk = {}, QObject *parent = nullptr);
    ~Room() override;

    // Reads the whole room, and this desk's history, from the store (a new desk first takes
    // over what its machine wrote before desks had identities); false (after storeFailed) when
    // it cannot.
    bool load();
    // load() in two steps. read() touches the store alone, nothing of the room and no signal, so
    // that it may run on another thread (which must then hand the store's connection back);
    // take() fills the room from it, on the room's own thread.
    struct Reading {
        QList<GameRecord> games;
        QList<JournalRecord> history;
        std::optional<QString> failure;
    };
    Reading read();
    bool take(const Reading &reading);

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

    // A game not running yet keeps a list of those interested; running, it keeps its order.
    bool setInterest(qint64 gameId, bool interest);
    // The floor: a call starts a countdown from this desk's clock, recorded once for every desk.
    bool callPlayer(qint64 gameId, qint64 playerId);
    bool cancelCall(qint64 gameId, qint64 playerId);
    bool setAway(qint64 gameId, qint64 playerId, bool away);
    // The person's other lists go with the seat unless kept.
    bool seatPlayer(qint64 gameId, qint64 playerId, bool keepOtherLists = false);
    // One person on several lists at once, the entries linked; the id of the first entry.
    std::optional<qint64> addPlayerToGames(const QList<qint64> &gameIds, const QString &storedName);
    // The same person's other entries, as (game, player), in the order of the games.
    QList<std::pair<qint64, qint64>> otherEntries(qint64 gameId, qint64 playerId) const;
    // A called player who did not come, by the operator's hand.
    bool noShow(qint64 gameId, qint64 playerId);
    // Makes a no-show of every call whose countdown has run out; quietly, for another desk may
    // have done it first. Returns how many it made.
    int expireCalls();
    // How long a call's countdown runs, and whether a no-show leaves the list (else it goes to
    // the end of it).
    void setCallRules(int callSeconds, bool removeNoShows);
    int callSeconds() const { return m_callSeconds; }
    bool removeNoShows() const { return m_removeNoShows; }
    static constexpr int DefaultCallSeconds = 5 * 60;

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // "Undo delete of Alice from Poker", "Redo ..."; empty when there is nothing to do.
    QString undoText() const { return m_history.undoText(); }
    QString redoText() const { return m_history.redoText(); }
    bool undo();
    bool redo();
    // The game and the player the next undo or redo is about (0 where none).
    using Target = UndoHistory::Target;
    Target undoTarget() const { return m_history.undoTarget(); }
    Target redoTarget() const { return m_history.redoTarget(); }
    // Forgets the history; the lists stay as they are.
    bool clearHistory();

    int historyLimit() const { return m_history.limit(); }
    void setHistoryLimit(int limit) { m_history.setLimit(limit); }
    static constexpr int DefaultHistoryLimit = UndoHistory::DefaultLimit;

signals:
    // What changed in memory, one step at a time, after the step: for views that follow the
    // room row by row. Indices are those after the step (a removed row's, where it stood).
    void gameInserted(int index);
    void gameRemoved(int index);
    void gameMoved(int from, int to);
    // The game's name, or whether it is an interest list, changed.
    void gameRenamed(int index);
    void playerInserted(qint64 gameId, int index);
    void playerRemoved(qint64 gameId, int index);
    void playerMoved(qint64 gameId, int from, int to);
    // The row's name, markers, call or away changed.
    void playerRenamed(qint64 gameId, int index);
    // A whole list, or the whole room, was replaced (read again, all players deleted or back).
    void playersReset(qint64 gameId);
    void gamesReset();
    // Anything in the room changed; after the change has landed in the store.
    void changed();
    // What undo and redo would do has changed.
    void historyChanged();
    // A change was made, undone (the entry is marked reverted) or made again; it has landed.
    // `effect` is what the change does to its list, as Command::effectOf(entry) says it.
    void changeRecorded(const tavlo::JournalRecord &entry, const tavlo::ListEffect &effect);
    void storeFailed(const QString &message);
    // The room was read again after another desk changed it; views keep what they showed
    // where it still exists.
    void updatedElsewhere();
    // A command named a game or player another desk has just changed or removed (the room has
    // been read again), or an undo or redo could not be done. The message says so in plain words.
    void commandRefused(const QString &message);

private:
    // Runs a new command in one transaction: its store work, its journal row, and the history
    // kept to its limit; then the room here follows it. False when it failed.
    // A quiet command reports no failure: the next try comes by itself.
    bool perform(const std::shared_ptr<Command> &command, bool quiet = false);
    bool run(const std::function<void()> &storeWork, bool quiet = false);
    // The room here after a command was made, undone or redone in the store.
    void follow(const Command &command, bool forward);
    // What another desk changed, read again: one game's players, or (0) the whole room.
    void readAgain(qint64 gameId);
    bool reloadRoom();
    bool step(bool forward);
    Game *findGame(qint64 gameId);
    // The player's name as the room here shows it; empty when it shows no such player.
    QString storedNameOf(qint64 gameId, qint64 playerId) const;

    // The room in memory follows each step the store takes.
    void insertGame(const Game &game, int position) override;
    void removeGame(qint64 gameId) override;
    void moveGameTo(qint64 gameId, int position) override;
    void setGameName(qint64 gameId, const QString &name) override;
    void insertPlayer(qint64 gameId, const Player &player, int position) override;
    void removePlayer(qint64 gameId, qint64 playerId) override;
    void movePlayerTo(qint64 gameId, qint64 playerId, int position) override;
    void setPlayerName(qint64 gameId, qint64 playerId, const QString &storedName) override;
    void setPlayers(qint64 gameId, QList<Player> players) override;
    void setFloorState(qint64 gameId, qint64 playerId, const FloorState &state) override;
    void setGameInterest(qint64 gameId, bool interest) override;
    void setGames(const QList<GameRecord> &records);

    WaitingListStore &m_store;
    const Clock &m_clock;
    DeskIdentity m_desk;
    QList<Game> m_games;
    UndoHistory m_history;
    int m_callSeconds = DefaultCallSeconds;
    bool m_removeNoShows = false;
};

} // namespace tavlo
