#include "room/Room.h"

#include "base/TextFile.h"
#include "store/StoreError.h"
#include "store/WaitingListStore.h"

namespace tavlo {

Room::Room(WaitingListStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
}

bool Room::run(const std::function<void()> &storeWork)
{
    try {
        storeWork();
        return true;
    } catch (const StoreError &error) {
        emit storeFailed(error.message());
    }
    return false;
}

bool Room::load()
{
    QList<GameRecord> records;
    if (!run([&] {
            m_store.open();
            records = m_store.readRoom();
        }))
        return false;
    m_games.clear();
    m_games.reserve(records.size());
    for (const GameRecord &record : std::as_const(records)) {
        Game game{record.id, record.name, {}};
        game.players.reserve(record.players.size());
        for (const PlayerRecord &player : record.players)
            game.players.append({player.id, player.name});
        m_games.append(std::move(game));
    }
    emit gamesChanged();
    return true;
}

int Room::indexOfGame(qint64 gameId) const
{
    for (qsizetype i = 0; i < m_games.size(); ++i) {
        if (m_games[i].id == gameId)
            return int(i);
    }
    return -1;
}

const Game *Room::game(qint64 gameId) const
{
    const int index = indexOfGame(gameId);
    return index < 0 ? nullptr : &m_games[index];
}

Game *Room::findGame(qint64 gameId)
{
    const int index = indexOfGame(gameId);
    return index < 0 ? nullptr : &m_games[index];
}

int Room::indexOfPlayer(qint64 gameId, qint64 playerId) const
{
    if (const Game *found = game(gameId)) {
        for (qsizetype i = 0; i < found->players.size(); ++i) {
            if (found->players[i].id == playerId)
                return int(i);
        }
    }
    return -1;
}

std::optional<qint64> Room::addGame(const QString &name)
{
    const QString kept = withoutControlCharacters(name);
    qint64 id = 0;
    if (!run([&] { id = m_store.addGame(kept); }))
        return std::nullopt;
    m_games.append({id, kept, {}});
    emit gamesChanged();
    emit changed();
    return id;
}

bool Room::renameGame(qint64 gameId, const QString &name)
{
    const QString kept = withoutControlCharacters(name);
    if (!run([&] { m_store.renameGame(gameId, kept); }))
        return false;
    if (Game *found = findGame(gameId))
        found->name = kept;
    emit gamesChanged();
    emit changed();
    return true;
}

bool Room::deleteGame(qint64 gameId)
{
    if (!run([&] { m_store.deleteGame(gameId); }))
        return false;
    const int index = indexOfGame(gameId);
    if (index >= 0)
        m_games.removeAt(index);
    emit gamesChanged();
    emit changed();
    return true;
}

bool Room::moveGame(qint64 gameId, int offset)
{
    if (!run([&] { m_store.moveGame(gameId, offset); }))
        return false;
    const int from = indexOfGame(gameId);
    const int to = from + offset;
    if (from >= 0 && to >= 0 && to < m_games.size())
        m_games.swapItemsAt(from, to);
    emit gamesChanged();
    emit changed();
    return true;
}

std::optional<qint64> Room::addPlayer(qint64 gameId, const QString &storedName)
{
    const QString kept = withoutControlCharacters(storedName);
    qint64 id = 0;
    if (!run([&] { id = m_store.addPlayer(gameId, kept); }))
        return std::nullopt;
    if (Game *found = findGame(gameId))
        found->players.append({id, kept});
    emit playersChanged(gameId);
    emit changed();
    return id;
}

bool Room::updatePlayer(qint64 gameId, qint64 playerId, const QString &storedName)
{
    const QString kept = withoutControlCharacters(storedName);
    if (!run([&] { m_store.updatePlayer(playerId, kept); }))
        return false;
    const int index = indexOfPlayer(gameId, playerId);
    if (index >= 0)
        findGame(gameId)->players[index].storedName = kept;
    emit playersChanged(gameId);
    emit changed();
    return true;
}

bool Room::deletePlayer(qint64 gameId, qint64 playerId)
{
    if (!run([&] { m_store.deletePlayer(gameId, playerId); }))
        return false;
    const int index = indexOfPlayer(gameId, playerId);
    if (index >= 0)
        findGame(gameId)->players.removeAt(index);
    emit playersChanged(gameId);
    emit changed();
    return true;
}

bool Room::deleteAllPlayers(qint64 gameId)
{
    if (!run([&] { m_store.deleteAllPlayers(gameId); }))
        return false;
    if (Game *found = findGame(gameId))
        found->players.clear();
    emit playersChanged(gameId);
    emit changed();
    return true;
}

bool Room::movePlayer(qint64 gameId, qint64 playerId, int offset)
{
    if (!run([&] { m_store.movePlayer(gameId, playerId, offset); }))
        return false;
    const int from = indexOfPlayer(gameId, playerId);
    const int to = from + offset;
    Game *found = findGame(gameId);
    if (from >= 0 && to >= 0 && to < found->players.size())
        found->players.swapItemsAt(from, to);
    emit playersChanged(gameId);
    emit changed();
    return true;
}

bool Room::movePlayerToTop(qint64 gameId, qint64 playerId)
{
    if (!run([&] { m_store.movePlayerToTop(gameId, playerId); }))
        return false;
    const int from = indexOfPlayer(gameId, playerId);
    if (from > 0)
        findGame(gameId)->players.move(from, 0);
    emit playersChanged(gameId);
    emit changed();
    return true;
}

} // namespace tavlo
