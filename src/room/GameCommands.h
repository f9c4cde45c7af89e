#pragma once

#include "room/Command.h"

namespace tavlo {

// The commands on the games themselves. Each is built with what the operator asked for and
// made by the room, or built empty and read from its journal row.

class AddGame final : public Command {
public:
    inline static const QString Name = QStringLiteral("add game");
    explicit AddGame(const QString &name = {});

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
    int m_position = 0;
};

class RenameGame final : public Command {
public:
    inline static const QString Name = QStringLiteral("rename game");
    explicit RenameGame(qint64 gameId = 0, const QString &name = {});

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

// The game goes with its players; undone, they all come back where they stood.
class DeleteGame final : public Command {
public:
    inline static const QString Name = QStringLiteral("delete game");
    explicit DeleteGame(qint64 gameId = 0);

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
    int m_position = 0;
    QList<PlacedPlayer> m_players;
    bool m_interest = false;
};

// Up or down by an offset, stopping at either end.
class MoveGame final : public Command {
public:
    inline static const QString Name = QStringLiteral("move game");
    explicit MoveGame(qint64 gameId = 0, int offset = 0);

    bool make(WaitingListStore::Change &change) override;
    void undo(WaitingListStore::Change &change) const override;
    void redo(WaitingListStore::Change &change) const override;
    void apply(RoomEditor &room, bool forward) const override;
    QString describe() const override;
    QString whatHappened() const override;

protected:
    QJsonObject details() const override;
    QByteArray detailsText() const override;
    void read(JournalDetails &details) override;

private:
    int m_offset = 0;
    int m_from = 0;
    int m_to = 0;
};

} // namespace tavlo
