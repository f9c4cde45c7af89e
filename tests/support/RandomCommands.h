#pragma once

#include "board/Board.h"
#include "board/PlayerMarkers.h"
#include "room/Room.h"

#include <QRandomGenerator>

#include <algorithm>
#include <QStringList>

namespace tavlo::test {

// A player as the tests compare them: the stored name, then "!" when called, "~" when away.
inline QString shownPlayer(const QString &storedName, bool called, bool away)
{
    return storedName + QLatin1String(called ? "!" : "") + QLatin1String(away ? "~" : "");
}

// A room's games with their players as "game:player,player", as the tests compare them.
inline QStringList contentsOf(const Room &room)
{
    QStringList out;
    for (const Game &game : room.games()) {
        QStringList names;
        for (const Player &player : game.players)
            names << shownPlayer(player.storedName, player.state.isCalled(), player.state.isAway());
        out << game.name + QLatin1String(game.interest ? "?" : "") + QLatin1Char(':') + names.join(QLatin1Char(','));
    }
    return out;
}

// Follows a room only through its row-by-row signals, as a list view does; ids() must then
// always equal the room's own.
class RoomMirror : public QObject {
public:
    explicit RoomMirror(const Room &room)
        : m_room(room)
    {
        const auto playerIds = [this](qint64 gameId) {
            QList<qint64> ids;
            for (const Player &p : m_room.game(gameId)->players)
                ids << p.id;
            return ids;
        };
        const auto reset = [this, playerIds] {
            m_games.clear();
            for (const Game &g : m_room.games())
                m_games.append({g.id, playerIds(g.id)});
        };
        reset();
        connect(&room, &Room::gamesReset, this, reset);
        connect(&room, &Room::gameInserted, this, [this, playerIds](int i) {
            const qint64 id = m_room.games()[i].id;
            m_games.insert(i, {id, playerIds(id)});
        });
        connect(&room, &Room::gameRemoved, this, [this](int i) { m_games.removeAt(i); });
        connect(&room, &Room::gameMoved, this, [this](int from, int to) { m_games.move(from, to); });
        connect(&room, &Room::playersReset, this, [this, playerIds](qint64 gameId) { listOf(gameId) = playerIds(gameId); });
        connect(&room, &Room::playerInserted, this, [this](qint64 gameId, int i) {
            listOf(gameId).insert(i, m_room.game(gameId)->players[i].id);
        });
        connect(&room, &Room::playerRemoved, this, [this](qint64 gameId, int i) { listOf(gameId).removeAt(i); });
        connect(&room, &Room::playerMoved, this, [this](qint64 gameId, int from, int to) { listOf(gameId).move(from, to); });
    }

    bool agrees() const
    {
        if (m_lost || m_games.size() != m_room.games().size())
            return false;
        for (qsizetype g = 0; g < m_games.size(); ++g) {
            const Game &game = m_room.games()[g];
            QList<qint64> ids;
            for (const Player &p : game.players)
                ids << p.id;
            // std::equal: Qt 6.4 compares two empty lists through memcmp(nullptr, nullptr, 0).
            if (m_games[g].first != game.id || !std::ranges::equal(m_games[g].second, ids))
                return false;
        }
        return true;
    }

private:
    QList<qint64> &listOf(qint64 gameId)
    {
        for (auto &game : m_games) {
            if (game.first == gameId)
                return game.second;
        }
        m_lost = true; // a signal about a game the room never said it had
        static QList<qint64> none;
        return none = {};
    }

    const Room &m_room;
    QList<std::pair<qint64, QList<qint64>>> m_games;
    bool m_lost = false;
};

// Seeded random commands on a room, with a plain list of what the room should then hold.
class RandomCommands {
public:
    // With several rooms (desks on one database), each command goes to one of them at random;
    // the caller lets them agree before the next step.
    RandomCommands(QList<Room *> rooms, quint32 seed)
        : m_rooms(std::move(rooms))
        , m_random(seed)
    {
        follow(*m_rooms.first());
    }

    // The room as it is (after an undo, say) becomes the reference.
    void follow(const Room &room)
    {
        m_reference.clear();
        for (const Game &game : room.games()) {
            QList<RefPlayer> players;
            for (const Player &player : game.players)
                players.append({player.storedName, player.state.isCalled(), player.state.isAway(), player.personId});
            m_reference.append({game.name, players, game.interest});
        }
    }

    RandomCommands(Room &room, quint32 seed)
        : RandomCommands(QList<Room *>{&room}, seed)
    {
    }

    // One random command; false when the room refused it.
    bool step()
    {
        Room &room = *m_rooms[m_rooms.size() == 1 ? 0 : int(m_random.bounded(int(m_rooms.size())))];
        const int g = m_reference.isEmpty() ? -1 : int(m_random.bounded(int(m_reference.size())));
        const qint64 gameId = g < 0 ? 0 : room.games()[g].id;
        const int count = g < 0 ? 0 : int(m_reference[g].players.size());
        const int p = count == 0 ? -1 : int(m_random.bounded(count));
        const qint64 playerId = p < 0 ? 0 : room.games()[g].players[p].id;
        const QString fresh = QStringLiteral("N%1").arg(++m_names);
        switch (g < 0 ? 0 : m_random.bounded(19)) {
        case 0:
            if (m_reference.size() >= 12)
                return true;
            m_reference.append({fresh, {}});
            return bool(room.addGame(fresh));
        case 1:
            m_reference[g].name = fresh;
            return room.renameGame(gameId, fresh);
        case 2:
            if (m_random.bounded(3) != 0)
                return true;
            m_reference.removeAt(g);
            return room.deleteGame(gameId);
        case 3: {
            const int offset = m_random.bounded(2) ? 1 : -1;
            if (g + offset >= 0 && g + offset < m_reference.size())
                m_reference.swapItemsAt(g, g + offset);
            return room.moveGame(gameId, offset);
        }
        case 4:
        case 5:
        case 6: {
            const QString stored = writeMarkers(fresh, {m_random.bounded(2) == 0, m_random.bounded(2) == 0, false});
            m_reference[g].players.append({stored});
            return bool(room.addPlayer(gameId, stored));
        }
        case 7:
            if (p < 0)
                return true;
            m_reference[g].players[p].name = fresh + StarTag;
            return room.updatePlayer(gameId, playerId, fresh + StarTag);
        case 8:
            if (p < 0)
                return true;
            m_reference[g].players.removeAt(p);
            return room.deletePlayer(gameId, playerId);
        case 9:
            if (m_random.bounded(6) != 0)
                return true;
            m_reference[g].players.clear();
            return room.deleteAllPlayers(gameId);
        case 10: {
            if (p < 0)
                return true;
            const int offset = m_random.bounded(2) ? 1 : -1;
            if (p + offset >= 0 && p + offset < count)
                m_reference[g].players.swapItemsAt(p, p + offset);
            return room.movePlayer(gameId, playerId, offset);
        }
        case 11:
            if (p < 0)
                return true;
            m_reference[g].players.move(p, 0);
            return room.movePlayerToTop(gameId, playerId);
        case 12:
        case 13:
            if (p < 0)
                return true;
            m_reference[g].players[p].called = m_random.bounded(3) != 0;
            return m_reference[g].players[p].called ? room.callPlayer(gameId, playerId) : room.cancelCall(gameId, playerId);
        case 14:
            if (p < 0)
                return true;
            m_reference[g].players[p].away = !m_reference[g].players[p].away;
            return room.setAway(gameId, playerId, m_reference[g].players[p].away);
        case 15: {
            if (p < 0)
                return true;
            // The same person leaves every list.
            const qint64 person = m_reference[g].players[p].person;
            m_reference[g].players.removeAt(p);
            for (RefGame &game : m_reference)
                game.players.removeIf([person](const RefPlayer &other) { return person != 0 && other.person == person; });
            return room.seatPlayer(gameId, playerId);
        }
        case 18: {
            const int h = int(m_random.bounded(int(m_reference.size())));
            if (h == g)
                return true;
            const qint64 person = --m_persons; // apart from the room's own ids
            m_reference[g].players.append({fresh, false, false, person});
            m_reference[h].players.append({fresh, false, false, person});
            return bool(room.addPlayerToGames({gameId, room.games()[h].id}, fresh));
        }
        case 17:
            m_reference[g].interest = !m_reference[g].interest;
            return room.setInterest(gameId, m_reference[g].interest);
        default:
            if (p < 0)
                return true;
            m_reference[g].players[p].called = false;
            m_reference[g].players.move(p, count - 1);
            return room.noShow(gameId, playerId);
        }
    }

    QStringList expected() const
    {
        QStringList out;
        for (const RefGame &game : m_reference) {
            QStringList players;
            for (const RefPlayer &player : game.players)
                players << shownPlayer(player.name, player.called, player.away);
            out << game.name + QLatin1String(game.interest ? "?" : "") + QLatin1Char(':') + players.join(QLatin1Char(','));
        }
        return out;
    }

    Board expectedBoard(int rows1, int rows2) const
    {
        Board board;
        for (const RefGame &game : m_reference)
            board.games.append({game.name, 0, {}});
        for (qsizetype i = 0; i < board.games.size(); ++i) {
            board.games[i].rows = i < board.gamesInFirstRow() ? rows1 : rows2;
            for (const RefPlayer &player : m_reference[i].players.mid(0, board.games[i].rows)) {
                board.games[i].entries.append(boardEntryOf(player.name));
                board.games[i].entries.last().blink |= player.called;
            }
        }
        return board;
    }

private:
    struct RefPlayer {
        QString name;
        bool called = false;
        bool away = false;
        qint64 person = 0; // equal for one person's entries; 0 for one list only
    };
    struct RefGame {
        QString name;
        QList<RefPlayer> players;
        bool interest = false;
    };
    QList<Room *> m_rooms;
    QRandomGenerator m_random;
    QList<RefGame> m_reference;
    int m_names = 0;
    qint64 m_persons = 0;
};

} // namespace tavlo::test
