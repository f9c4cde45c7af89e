#pragma once

#include "room/Game.h"
#include "room/ListEffect.h"
#include "store/WaitingListStore.h"

#include <QJsonObject>
#include <QString>

#include <memory>

namespace tavlo {

class JournalDetails;

// The room in memory as a command changes it, one step at a time; each step is said to the
// views that follow the room row by row. Positions are kept within the lists as they are, and
// a step about a row the room does not hold does nothing.
class RoomEditor {
public:
    virtual void insertGame(const Game &game, int position) = 0;
    virtual void removeGame(qint64 gameId) = 0;
    virtual void moveGameTo(qint64 gameId, int position) = 0;
    virtual void setGameName(qint64 gameId, const QString &name) = 0;
    virtual void insertPlayer(qint64 gameId, const Player &player, int position) = 0;
    virtual void removePlayer(qint64 gameId, qint64 playerId) = 0;
    virtual void movePlayerTo(qint64 gameId, qint64 playerId, int position) = 0;
    virtual void setPlayerName(qint64 gameId, qint64 playerId, const QString &storedName) = 0;
    virtual void setPlayers(qint64 gameId, QList<Player> players) = 0;
    virtual void setFloorState(qint64 gameId, qint64 playerId, const FloorState &state) = 0;
    virtual void setGameInterest(qint64 gameId, bool interest) = 0;

protected:
    ~RoomEditor() = default;
};

// One kind of change to the room, in the spirit of QUndoCommand. Made new, it does its work in
// the store's transaction and gives the journal row that records it; read back from that row,
// it undoes and redoes itself in the store, follows in the room in memory, and says what it
// did in words and in figures. Each kind writes and reads its own details; the journal's
// command name says which kind reads a row (fromJournal()).
class Command {
public:
    virtual ~Command();

    // The command a journal row names, its details read as far as they go. One this version
    // does not know, or whose row is not whole, cannot be undone or redone (isWhole()), but
    // still says what it can.
    static std::unique_ptr<Command> fromJournal(const JournalRecord &entry);
    // What a journal row did to the number of players waiting, as effect() says it; the
    // details are read only for a kind whose figures come from them. Reports ask it of every
    // row of the journal.
    static ListEffect effectOf(const JournalRecord &entry);

    // Why a new command did nothing: another desk had just changed what it named.
    static QString refusedElsewhere();

    // The journal row's columns: the command's name, its game and player and their names.
    const JournalRecord &entry() const { return m_entry; }
    bool isWhole() const { return m_whole; }

    // Made new, in the store's transaction: false when it changed nothing, so that there is
    // nothing to record. The room in memory then follows with apply(editor, true) all the same.
    virtual bool make(WaitingListStore::Change &change) = 0;
    // The row that records what make() did, its details written.
    JournalRecord journalRow() const;

    // Undone and redone in the store. Each throws StoreError (Gone) unless the rows it acts on
    // are there and those it brings back are not: else another desk has changed them since,
    // or the row is damaged. Only for a command that isWhole().
    virtual void undo(WaitingListStore::Change &change) const = 0;
    virtual void redo(WaitingListStore::Change &change) const = 0;
    // The room in memory after the store: made or redone (forward), or undone.
    virtual void apply(RoomEditor &room, bool forward) const = 0;

    // The words for it as Undo and Redo show them: "delete of Alice from Poker".
    virtual QString describe() const = 0;
    // As the journal's CSV says it: "deleted from place 1", "star on".
    virtual QString whatHappened() const = 0;
    // What it did to the number of players waiting.
    virtual ListEffect effect() const { return {}; }
    // Whether effect() needs the details read (the players a delete took away).
    virtual bool effectNeedsDetails() const { return false; }

protected:
    explicit Command(const QString &name);
    // The columns of the journal row; the player's name is kept without its marker tags.
    void setRow(qint64 gameId, qint64 playerId, const QString &gameName, const QString &storedPlayerName = {});
    void setName(const QString &name) { m_entry.command = name; }
    // Throws Gone when the row a step would bring back is there already.
    static void requireNoGame(WaitingListStore::Change &change, qint64 gameId);
    static void requireNoPlayer(WaitingListStore::Change &change, qint64 playerId);
    // Players as they stood, in their order.
    static QList<Player> listOf(const QList<PlacedPlayer> &players);
    virtual QJsonObject details() const = 0;
    // The details as the journal row keeps them: compact JSON.
    virtual QByteArray detailsText() const;
    // Reads the details of entry(); require() in them what the row itself must hold.
    virtual void read(JournalDetails &details) = 0;

private:
    JournalRecord m_entry;
    bool m_whole = true;
};

} // namespace tavlo
