#include "room/Room.h"

#include "base/TextFile.h"
#include "platform/Clock.h"
#include "room/FloorCommands.h"
#include "room/GameCommands.h"
#include "room/PlayerCommands.h"
#include "store/StoreError.h"

#include <algorithm>

namespace tavlo {

Room::~Room()
{
    m_store.setRemoteChangeHandler({});
}

Room::Room(WaitingListStore &store, const Clock &clock, const DeskIdentity &desk, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_clock(clock)
    , m_desk(desk)
{
    // The store calls from the connection's notifications; the room reads again afterwards,
    // outside whatever the store is doing.
    m_store.setRemoteChangeHandler([this](qint64 gameId) {
        QMetaObject::invokeMethod(this, [this, gameId] { readAgain(gameId); }, Qt::QueuedConnection);
    });
}

bool Room::run(const std::function<void()> &storeWork, bool quiet)
{
    try {
        storeWork();
        return true;
    } catch (const StoreError &error) {
        if (quiet)
            return false;
        if (error.kind() == StoreError::Kind::Gone && m_store.isShared()) {
            // Another desk was quicker: show the room as it is now, and say why nothing happened.
            if (reloadRoom())
                emit commandRefused(Command::refusedElsewhere());
            return false;
        }
        emit storeFailed(error.message());
    }
    return false;
}

bool Room::reloadRoom()
{
    QList<GameRecord> records;
    try {
        records = m_store.readRoom();
    } catch (const StoreError &error) {
        emit storeFailed(error.message());
        return false;
    }
    setGames(records);
    emit changed();
    emit updatedElsewhere();
    return true;
}

void Room::readAgain(qint64 gameId)
{
    Game *found = gameId == 0 ? nullptr : findGame(gameId);
    if (!found) {
        reloadRoom();
        return;
    }
    QList<PlayerRecord> records;
    try {
        records = m_store.readPlayers(gameId);
    } catch (const StoreError &error) {
        emit storeFailed(error.message());
        return;
    }
    QList<Player> players;
    players.reserve(records.size());
    for (const PlayerRecord &player : std::as_const(records))
        players.append(playerOf(player));
    setPlayers(gameId, std::move(players));
    emit changed();
    emit updatedElsewhere();
}

bool Room::load()
{
    return take(read());
}

Room::Reading Room::read()
{
    Reading reading;
    try {
        m_store.open();
        if (m_desk.isNew && !m_desk.hostName.isEmpty()) {
            WaitingListStore::Change change(m_store);
            change.adoptHistory(m_desk.hostName, m_desk.id);
            change.commit();
        }
        reading.games = m_store.readRoom();
        reading.history = m_store.history(m_desk.id);
    } catch (const StoreError &error) {
        reading.failure = error.message();
    }
    return reading;
}

bool Room::take(const Reading &reading)
{
    if (reading.failure) {
        emit storeFailed(*reading.failure);
        return false;
    }
    m_desk.isNew = false;
    setGames(reading.games);
    m_history.load(reading.history);
    emit historyChanged();
    return true;
}

bool Room::perform(const std::shared_ptr<Command> &command, bool quiet)
{
    JournalRecord entry;
    bool made = false;
    if (!run([&] {
            WaitingListStore::Change change(m_store);
            made = command->make(change);
            if (made) {
                entry = command->journalRow();
                entry.madeAt = m_clock.now();
                entry.desk = m_desk.hostName;
                entry.deskId = m_desk.id;
                // A new change ends what could be redone, and the oldest change leaves a full history.
                change.retire(m_history.endedByNewChange());
                entry.id = change.record(entry);
            }
            change.commit();
        }, quiet))
        return false;
    if (made) {
        m_history.push(entry, command);
        emit historyChanged();
        emit changeRecorded(entry, command->effect());
    }
    follow(*command, true);
    return true;
}

void Room::follow(const Command &command, bool forward)
{
    command.apply(*this, forward);
    emit changed();
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

void Room::insertGame(const Game &game, int position)
{
    const int index = int(std::clamp<qsizetype>(position, 0, m_games.size()));
    m_games.insert(index, game);
    emit gameInserted(index);
}

void Room::removeGame(qint64 gameId)
{
    const int index = indexOfGame(gameId);
    if (index < 0)
        return;
    m_games.removeAt(index);
    emit gameRemoved(index);
}

void Room::moveGameTo(qint64 gameId, int position)
{
    const int from = indexOfGame(gameId);
    if (from < 0)
        return;
    const int to = int(std::clamp<qsizetype>(position, 0, m_games.size() - 1));
    if (to == from)
        return;
    m_games.move(from, to);
    emit gameMoved(from, to);
}

void Room::setGameName(qint64 gameId, const QString &name)
{
    const int index = indexOfGame(gameId);
    if (index < 0)
        return;
    m_games[index].name = name;
    emit gameRenamed(index);
}

void Room::insertPlayer(qint64 gameId, const Player &player, int position)
{
    Game *found = findGame(gameId);
    if (!found)
        return;
    const int index = int(std::clamp<qsizetype>(position, 0, found->players.size()));
    found->players.insert(index, player);
    emit playerInserted(gameId, index);
}

void Room::removePlayer(qint64 gameId, qint64 playerId)
{
    const int index = indexOfPlayer(gameId, playerId);
    if (index < 0)
        return;
    findGame(gameId)->players.removeAt(index);
    emit playerRemoved(gameId, index);
}

void Room::movePlayerTo(qint64 gameId, qint64 playerId, int position)
{
    const int from = indexOfPlayer(gameId, playerId);
    if (from < 0)
        return;
    QList<Player> &players = findGame(gameId)->players;
    const int to = int(std::clamp<qsizetype>(position, 0, players.size() - 1));
    if (to == from)
        return;
    players.insert(to, players.takeAt(from));
    emit playerMoved(gameId, from, to);
}

void Room::setPlayerName(qint64 gameId, qint64 playerId, const QString &storedName)
{
    const int index = indexOfPlayer(gameId, playerId);
    if (index < 0)
        return;
    findGame(gameId)->players[index].storedName = storedName;
    emit playerRenamed(gameId, index);
}

void Room::setFloorState(qint64 gameId, qint64 playerId, const FloorState &state)
{
    const int index = indexOfPlayer(gameId, playerId);
    if (index < 0)
        return;
    findGame(gameId)->players[index].state = state;
    emit playerRenamed(gameId, index);
}

void Room::setGameInterest(qint64 gameId, bool interest)
{
    const int index = indexOfGame(gameId);
    if (index < 0)
        return;
    m_games[index].interest = interest;
    emit gameRenamed(index);
}

bool Room::setInterest(qint64 gameId, bool interest)
{
    return perform(std::make_shared<GameInterest>(gameId, interest));
}

void Room::setGames(const QList<GameRecord> &records)
{
    m_games.clear();
    m_games.reserve(records.size());
    for (const GameRecord &record : records) {
        Game game{record.id, record.name, {}, record.interest};
        game.players.reserve(record.players.size());
        for (const PlayerRecord &player : record.players)
            game.players.append(playerOf(player));
        m_games.append(std::move(game));
    }
    emit gamesReset();
}

void Room::setPlayers(qint64 gameId, QList<Player> players)
{
    if (Game *found = findGame(gameId)) {
        found->players = std::move(players);
        emit playersReset(gameId);
    }
}

std::optional<qint64> Room::addGame(const QString &name)
{
    const auto command = std::make_shared<AddGame>(withoutControlCharacters(name));
    return perform(command) ? std::optional<qint64>(command->entry().gameId) : std::nullopt;
}

bool Room::renameGame(qint64 gameId, const QString &name)
{
    return perform(std::make_shared<RenameGame>(gameId, withoutControlCharacters(name)));
}

bool Room::deleteGame(qint64 gameId)
{
    return perform(std::make_shared<DeleteGame>(gameId));
}

bool Room::moveGame(qint64 gameId, int offset)
{
    return perform(std::make_shared<MoveGame>(gameId, offset));
}

std::optional<qint64> Room::addPlayer(qint64 gameId, const QString &storedName)
{
    const auto command = std::make_shared<AddPlayer>(gameId, withoutControlCharacters(storedName), m_clock.now());
    return perform(command) ? std::optional<qint64>(command->entry().playerId) : std::nullopt;
}

bool Room::updatePlayer(qint64 gameId, qint64 playerId, const QString &storedName)
{
    return perform(std::make_shared<EditPlayer>(gameId, playerId, withoutControlCharacters(storedName)));
}

bool Room::deletePlayer(qint64 gameId, qint64 playerId)
{
    return perform(std::make_shared<DeletePlayer>(gameId, playerId));
}

bool Room::deleteAllPlayers(qint64 gameId)
{
    return perform(std::make_shared<DeleteAllPlayers>(gameId));
}

bool Room::movePlayer(qint64 gameId, qint64 playerId, int offset)
{
    return perform(std::make_shared<MovePlayer>(gameId, playerId, storedNameOf(gameId, playerId), offset));
}

bool Room::movePlayerToTop(qint64 gameId, qint64 playerId)
{
    return perform(std::make_shared<PlayerToTop>(gameId, playerId, storedNameOf(gameId, playerId)));
}

bool Room::callPlayer(qint64 gameId, qint64 playerId)
{
    return perform(std::make_shared<FloorMark>(FloorMark::Kind::Call, gameId, playerId, m_clock.now(), m_callSeconds));
}

bool Room::cancelCall(qint64 gameId, qint64 playerId)
{
    return perform(std::make_shared<FloorMark>(FloorMark::Kind::Cancel, gameId, playerId));
}

bool Room::setAway(qint64 gameId, qint64 playerId, bool away)
{
    return perform(std::make_shared<FloorMark>(away ? FloorMark::Kind::Away : FloorMark::Kind::Back, gameId, playerId, m_clock.now()));
}

bool Room::seatPlayer(qint64 gameId, qint64 playerId, bool keepOtherLists)
{
    return perform(std::make_shared<SeatPlayer>(gameId, playerId, m_clock.now(), keepOtherLists));
}

std::optional<qint64> Room::addPlayerToGames(const QList<qint64> &gameIds, const QString &storedName)
{
    if (gameIds.size() == 1)
        return addPlayer(gameIds.first(), storedName);
    if (gameIds.isEmpty())
        return std::nullopt;
    const auto command = std::make_shared<AddToLists>(gameIds, withoutControlCharacters(storedName), m_clock.now());
    return perform(command) ? std::optional<qint64>(command->entry().playerId) : std::nullopt;
}

QList<std::pair<qint64, qint64>> Room::otherEntries(qint64 gameId, qint64 playerId) const
{
    QList<std::pair<qint64, qint64>> others;
    const int index = indexOfPlayer(gameId, playerId);
    const qint64 person = index < 0 ? 0 : game(gameId)->players[index].personId;
    if (person == 0)
        return others;
    for (const Game &g : m_games) {
        for (const Player &p : g.players) {
            if (p.personId == person && p.id != playerId)
                others.append({g.id, p.id});
        }
    }
    return others;
}

bool Room::noShow(qint64 gameId, qint64 playerId)
{
    return perform(std::make_shared<NoShow>(gameId, playerId, m_removeNoShows));
}

void Room::setCallRules(int callSeconds, bool removeNoShows)
{
    m_callSeconds = std::max(1, callSeconds);
    m_removeNoShows = removeNoShows;
}

int Room::expireCalls()
{
    const QDateTime now = m_clock.now();
    struct Due {
        qint64 gameId;
        qint64 playerId;
        QDateTime calledAt;
        QDateTime ends;
    };
    // Gathered first: each no-show changes the lists.
    QList<Due> due;
    for (const Game &game : std::as_const(m_games)) {
        for (const Player &player : game.players) {
            if (player.state.isCalled() && player.state.callEnds() <= now)
                due.append({game.id, player.id, player.state.calledAt, player.state.callEnds()});
        }
    }
    // The first to run out goes first; players run out together keep their order.
    std::ranges::stable_sort(due, {}, &Due::ends);
    int made = 0;
    for (const Due &call : std::as_const(due)) {
        const auto command = std::make_shared<NoShow>(call.gameId, call.playerId, m_removeNoShows, call.calledAt);
        // A failed store is tried again on the next tick, without a word.
        if (!perform(command, true))
            continue;
        if (command->isDone())
            ++made;
        else
            readAgain(call.gameId); // another desk was first, or the player came meanwhile
    }
    return made;
}

QString Room::storedNameOf(qint64 gameId, qint64 playerId) const
{
    const int index = indexOfPlayer(gameId, playerId);
    return index < 0 ? QString() : game(gameId)->players[index].storedName;
}

bool Room::undo()
{
    return step(false);
}

bool Room::redo()
{
    return step(true);
}

bool Room::step(bool forward)
{
    if (forward ? !canRedo() : !canUndo())
        return false;
    const qint64 id = m_history.next(forward).id;
    // Kept whole through the signals below, whatever their receivers do.
    const std::shared_ptr<const Command> held = m_history.nextCommand(forward);
    const Command &command = *held;
    using Refusal = UndoHistory::Refusal;
    Refusal why = Refusal::Unreadable;
    QString failure;
    if (command.isWhole()) {
        try {
            WaitingListStore::Change change(m_store);
            if (forward)
                command.redo(change);
            else
                command.undo(change);
            change.setReverted(id, !forward, m_clock.now());
            change.commit();
            emit changeRecorded(m_history.stepped(forward), command.effect());
            follow(command, forward);
            emit historyChanged();
            return true;
        } catch (const StoreError &error) {
            failure = error.message();
            if (error.kind() == StoreError::Kind::Gone)
                why = m_store.isShared() ? Refusal::Elsewhere : Refusal::Mismatch;
            else
                why = error.kind() == StoreError::Kind::ConnectionLost ? Refusal::ConnectionLost : Refusal::Failed;
        }
    }
    const QString refusal = UndoHistory::refusal(why, forward, failure);
    // The change leaves the history, so that the one before it comes next (after it, for a
    // redo); where even that cannot be saved, the history stays as it is.
    try {
        WaitingListStore::Change change(m_store);
        change.retire({id});
        change.commit();
        m_history.drop(forward);
        emit historyChanged();
    } catch (const StoreError &) {
    }
    // Another desk's change: show the room as it is now.
    if (why != Refusal::Elsewhere || reloadRoom())
        emit commandRefused(refusal);
    return false;
}

bool Room::clearHistory()
{
    if (m_history.isEmpty())
        return true;
    if (!run([&] {
            WaitingListStore::Change change(m_store);
            change.retire(m_history.ids());
            change.commit();
        }))
        return false;
    m_history.clear();
    emit historyChanged();
    return true;
}

} // namespace tavlo
