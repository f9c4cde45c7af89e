#pragma once

#include "room/Command.h"

#include <optional>

namespace tavlo {

// The commands on a game's waiting list. Each is built with what the operator asked for and
// made by the room, or built empty and read from its journal row.

// A player joining the list, or leaving it: both keep the player as it stood, and one undoes
// what the other does.
class OnePlayer : public Command {
protected:
    OnePlayer(const QString &name, qint64 gameId, qint64 playerId);
    QJsonObject details() const override;
    void read(JournalDetails &details) override;
    void bringBack(WaitingListStore::Change &change) const;
    void takeAway(WaitingListStore::Change &change) const;
    // The player on the list in memory, or off it.
    void follow(RoomEditor &room, bool onTheList) const;
    // The details as compact JSON, for the commands whose details are the player alone.
    QByteArray placedText() const;
    void setPlaced(const PlacedPlayer &placed);
    const PlacedPlayer &placed() const { return m_placed; }
    // Where the player stood, as far as the row says.
    std::optional<int> position() const { return m_position; }

private:
    PlacedPlayer m_placed;
    std::optional<int> m_position;
};

class AddPlayer final : public OnePlayer {
public:
    inline static const QString Name = QStringLiteral("add player");
    explicit AddPlayer(qint64 gameId = 0, const QString &storedName = {}, const QDateTime &addedAt = {});

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override { takeAway(change); }
    void redo(WaitingListStore::Change &change) const override { bringBack(change); }
    void apply(RoomEditor &room, bool forward) const override { follow(room, forward); }
    QString describe() const override;
    QString whatHappened() const override;
    ListEffect effect() const override;

protected:
    QByteArray detailsText() const override { return placedText(); }
};

class DeletePlayer final : public OnePlayer {
public:
    inline static const QString Name = QStringLiteral("delete player");
    explicit DeletePlayer(qint64 gameId = 0, qint64 playerId = 0);

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override { bringBack(change); }
    void redo(WaitingListStore::Change &change) const override { takeAway(change); }
    void apply(RoomEditor &room, bool forward) const override { follow(room, !forward); }
    QString describe() const override;
    QString whatHappened() const override;
    ListEffect effect() const override;
    bool effectNeedsDetails() const override { return true; }

protected:
    QByteArray detailsText() const override { return placedText(); }
};

// A new name, or new markers. An edit that only switches one marker is journaled as that
// marker's toggle ("blink", "star", "phone").
class EditPlayer final : public Command {
public:
    inline static const QString Name = QStringLiteral("edit player");
    inline static const QString BlinkName = QStringLiteral("blink");
    inline static const QString StarName = QStringLiteral("star");
    inline static const QString PhoneName = QStringLiteral("phone");
    explicit EditPlayer(qint64 gameId = 0, qint64 playerId = 0, const QString &storedName = {});

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
    QString m_before;
    QString m_after;
};

class DeleteAllPlayers final : public Command {
public:
    inline static const QString Name = QStringLiteral("delete all players");
    explicit DeleteAllPlayers(qint64 gameId = 0);

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
    QList<PlacedPlayer> m_players;
};

// Up or down the list by an offset, stopping at either end.
class MovePlayer : public Command {
public:
    inline static const QString Name = QStringLiteral("move player");
    // The player's stored name is the one the room shows, for the journal's columns.
    explicit MovePlayer(qint64 gameId = 0, qint64 playerId = 0, const QString &storedName = {}, int offset = 0);

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override;
    void redo(WaitingListStore::Change &change) const override;
    void apply(RoomEditor &room, bool forward) const override;
    QString describe() const override;
    QString whatHappened() const override;

protected:
    MovePlayer(const QString &name, qint64 gameId, qint64 playerId, const QString &storedName, int offset);
    QJsonObject details() const override;
    QByteArray detailsText() const override;
    void read(JournalDetails &details) override;

    int m_from = 0;
    int m_to = 0;

private:
    QString m_storedName;
    int m_offset = 0;
};

class PlayerToTop final : public MovePlayer {
public:
    inline static const QString Name = QStringLiteral("player to top");
    explicit PlayerToTop(qint64 gameId = 0, qint64 playerId = 0, const QString &storedName = {});

    QString describe() const override;
    QString whatHappened() const override;
};

} // namespace tavlo
