#pragma once

#include "room/JournalDetails.h"
#include "room/PlayerCommands.h"

namespace tavlo {

// The commands of the floor: calling a player to a seat, the seat itself, a no-show, and a
// player away from the list for a moment.

// A call, its cancelling, away and back: each changes only the player's FloorState.
class FloorMark final : public Command {
public:
    inline static const QString CallName = QStringLiteral("call");
    inline static const QString CancelName = QStringLiteral("cancel call");
    inline static const QString AwayName = QStringLiteral("away");
    inline static const QString BackName = QStringLiteral("back");
    enum class Kind { Call, Cancel, Away, Back };
    // `at` is when the call or the absence begins, `callSeconds` how long a call's countdown runs.
    explicit FloorMark(Kind kind = Kind::Call, qint64 gameId = 0, qint64 playerId = 0, const QDateTime &at = {},
                       int callSeconds = 0);

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override;
    void redo(WaitingListStore::Change &change) const override;
    void apply(RoomEditor &room, bool forward) const override;
    QString describe() const override;
    QString whatHappened() const override;

protected:
    QJsonObject details() const override;
    void read(JournalDetails &details) override;

private:
    Kind kind() const;
    void set(WaitingListStore::Change &change, const FloorState &state) const;

    QDateTime m_at;
    int m_callSeconds = 0;
    FloorState m_before;
    FloorState m_after;
};

// The player leaves the list for a seat, and the same person's other lists with it unless the
// operator keeps them; the journal keeps how long the player waited.
class SeatPlayer final : public OnePlayer {
public:
    inline static const QString Name = QStringLiteral("seat");
    explicit SeatPlayer(qint64 gameId = 0, qint64 playerId = 0, const QDateTime &at = {}, bool keepOtherLists = false);

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override;
    void redo(WaitingListStore::Change &change) const override;
    void apply(RoomEditor &room, bool forward) const override;
    QString describe() const override;
    QString whatHappened() const override;
    ListEffect effect() const override;
    bool effectNeedsDetails() const override { return true; }

protected:
    QJsonObject details() const override;
    void read(JournalDetails &details) override;

private:
    QDateTime m_at;
    bool m_keep = false;
    std::optional<int> m_waited; // seconds, when the time the player joined is known
    QList<GameEntry> m_others;
};

// A game marked as not running yet (an interest list), or running again.
class GameInterest final : public Command {
public:
    inline static const QString Name = QStringLiteral("interest");
    explicit GameInterest(qint64 gameId = 0, bool interest = false);

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override;
    void redo(WaitingListStore::Change &change) const override;
    void apply(RoomEditor &room, bool forward) const override;
    QString describe() const override;
    QString whatHappened() const override;

protected:
    QJsonObject details() const override;
    void read(JournalDetails &details) override;

private:
    bool m_interest = false;
};

// One person joining several lists at once: the entries are linked (they share a person id).
class AddToLists final : public Command {
public:
    inline static const QString Name = QStringLiteral("add to lists");
    explicit AddToLists(const QList<qint64> &gameIds = {}, const QString &storedName = {}, const QDateTime &addedAt = {});

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override;
    void redo(WaitingListStore::Change &change) const override;
    void apply(RoomEditor &room, bool forward) const override;
    QString describe() const override;
    QString whatHappened() const override;
    ListEffect effect() const override;

protected:
    QJsonObject details() const override;
    void read(JournalDetails &details) override;

private:
    QList<qint64> m_gameIds;
    QString m_storedName;
    QDateTime m_addedAt;
    QList<GameEntry> m_entries;
};

// A called player who did not come: to the end of the list, call ended, or off the list. Made
// for a call whose countdown ran out (`call` its start), it does nothing unless the player is
// still under that very call: another desk may have run it out, or the player came meanwhile.
class NoShow final : public OnePlayer {
public:
    inline static const QString Name = QStringLiteral("no-show");
    explicit NoShow(qint64 gameId = 0, qint64 playerId = 0, bool remove = false, const QDateTime &call = {});

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override;
    void redo(WaitingListStore::Change &change) const override;
    void apply(RoomEditor &room, bool forward) const override;
    QString describe() const override;
    QString whatHappened() const override;
    ListEffect effect() const override;
    bool effectNeedsDetails() const override { return true; }
    // False when the call it was made for no longer stood.
    bool isDone() const { return m_done; }

protected:
    QJsonObject details() const override;
    void read(JournalDetails &details) override;

private:
    FloorState afterwards() const;

    bool m_remove = false;
    QDateTime m_call;
    bool m_done = true;
    int m_to = 0;
};

} // namespace tavlo
