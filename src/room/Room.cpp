#include "room/Room.h"

#include "base/TextFile.h"
#include "board/PlayerMarkers.h"
#include "platform/Clock.h"
#include "store/StoreError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavlo {

namespace {

// The commands as the journal names them.
namespace command {
const QString AddGame = QStringLiteral("add game");
const QString RenameGame = QStringLiteral("rename game");
const QString DeleteGame = QStringLiteral("delete game");
const QString MoveGame = QStringLiteral("move game");
const QString AddPlayer = QStringLiteral("add player");
const QString EditPlayer = QStringLiteral("edit player");
const QString Blink = QStringLiteral("blink");
const QString Star = QStringLiteral("star");
const QString Phone = QStringLiteral("phone");
const QString DeletePlayer = QStringLiteral("delete player");
const QString DeleteAllPlayers = QStringLiteral("delete all players");
const QString MovePlayer = QStringLiteral("move player");
const QString PlayerToTop = QStringLiteral("player to top");
} // namespace command

QJsonValue timeJson(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue();
}

QDateTime timeFromJson(const QJsonValue &value)
{
    return value.isString() ? QDateTime::fromString(value.toString(), Qt::ISODateWithMs).toUTC() : QDateTime();
}

QJsonObject placedJson(const PlacedPlayer &placed)
{
    return {{QStringLiteral("id"), placed.player.id},
            {QStringLiteral("name"), placed.player.name},
            {QStringLiteral("position"), placed.position},
            {QStringLiteral("added"), timeJson(placed.player.addedAt)}};
}

QJsonArray playersJson(const QList<PlacedPlayer> &players)
{
    QJsonArray array;
    for (const PlacedPlayer &placed : players)
        array.append(placedJson(placed));
    return array;
}

// Journal rows come from other versions and other desks, or are damaged: each value is read
// whole or not at all.
std::optional<qint64> integerOf(const QJsonValue &value, double low, double high)
{
    const double number = value.toDouble(std::nan(""));
    if (!(number >= low && number <= high) || number != std::trunc(number))
        return std::nullopt;
    return qint64(number);
}

constexpr double MostExactInteger = 9007199254740992.0; // 2^53: beyond it JSON numbers lose digits

bool readPlaced(const QJsonValue &value, PlacedPlayer &placed)
{
    const QJsonObject object = value.toObject();
    const std::optional<qint64> id = integerOf(object.value(QLatin1String("id")), 1, MostExactInteger);
    const std::optional<qint64> position = integerOf(object.value(QLatin1String("position")), 0, std::numeric_limits<int>::max());
    const QJsonValue name = object.value(QLatin1String("name"));
    const QJsonValue added = object.value(QLatin1String("added"));
    const QDateTime addedAt = timeFromJson(added);
    const bool timeRead = added.isString() ? addedAt.isValid() : added.isNull() || added.isUndefined();
    if (!id || !position || !name.isString() || !timeRead)
        return false;
    placed = {{*id, name.toString(), addedAt}, int(*position)};
    return true;
}

bool readPlayers(const QJsonValue &value, QList<PlacedPlayer> &players)
{
    if (!value.isArray())
        return false;
    QSet<qint64> ids;
    for (const QJsonValue &item : value.toArray()) {
        PlacedPlayer placed;
        if (!readPlaced(item, placed) || ids.contains(placed.player.id))
            return false;
        ids.insert(placed.player.id);
        players.append(placed);
    }
    return true;
}

bool isEdit(const QString &c)
{
    return c == command::EditPlayer || c == command::Blink || c == command::Star || c == command::Phone;
}

QJsonObject detailsOf(const JournalRecord &entry)
{
    return QJsonDocument::fromJson(entry.details).object();
}

JournalRecord entryFor(const QString &command, qint64 gameId, qint64 playerId, const QString &gameName,
                       const QString &storedPlayerName, const QJsonObject &details)
{
    JournalRecord entry;
    entry.command = command;
    entry.gameId = gameId;
    entry.playerId = playerId;
    entry.gameName = gameName;
    entry.playerName = storedPlayerName.isEmpty() ? QString() : readMarkers(storedPlayerName).bareName;
    entry.details = QJsonDocument(details).toJson(QJsonDocument::Compact);
    return entry;
}

// An edit that only switches one marker is that marker's toggle.
QString editCommand(const QString &before, const QString &after)
{
    const MarkedName old = readMarkers(before);
    const MarkedName now = readMarkers(after);
    if (old.bareName != now.bareName)
        return command::EditPlayer;
    const int differences = int(old.markers.blink != now.markers.blink) + int(old.markers.star != now.markers.star)
        + int(old.markers.phone != now.markers.phone);
    if (differences != 1)
        return command::EditPlayer;
    if (old.markers.blink != now.markers.blink)
        return command::Blink;
    return old.markers.star != now.markers.star ? command::Star : command::Phone;
}

Player playerOf(const PlayerRecord &record)
{
    return {record.id, record.name, record.addedAt};
}

} // namespace

QString describeChange(const JournalRecord &entry)
{
    const QJsonObject details = detailsOf(entry);
    const QString &game = entry.gameName;
    const QString &player = entry.playerName;
    const QString &c = entry.command;
    if (c == command::AddGame)
        return QStringLiteral("add of game %1").arg(game);
    if (c == command::RenameGame)
        return QStringLiteral("rename of game %1 to %2").arg(details.value(QLatin1String("before")).toString(),
                                                             details.value(QLatin1String("after")).toString());
    if (c == command::DeleteGame)
        return QStringLiteral("delete of game %1").arg(game);
    if (c == command::MoveGame)
        return QStringLiteral("move of game %1").arg(game);
    if (c == command::AddPlayer)
        return QStringLiteral("add of %1 to %2").arg(player, game);
    if (c == command::DeletePlayer)
        return QStringLiteral("delete of %1 from %2").arg(player, game);
    if (c == command::DeleteAllPlayers)
        return QStringLiteral("delete of all players from %1").arg(game);
    if (c == command::MovePlayer)
        return QStringLiteral("move of %1 in %2").arg(player, game);
    if (c == command::PlayerToTop)
        return QStringLiteral("move of %1 to the top of %2").arg(player, game);
    if (c == command::Blink || c == command::Star || c == command::Phone) {
        const Marker marker = c == command::Blink ? Marker::Blink : c == command::Star ? Marker::Star : Marker::Phone;
        const bool on = details.value(QLatin1String("after")).toString().contains(tagOf(marker));
        return QStringLiteral("%1 %2 for %3 in %4").arg(c, QLatin1String(on ? "on" : "off"), player, game);
    }
    if (c == command::EditPlayer)
        return QStringLiteral("edit of %1 in %2").arg(player, game);
    // A command of another version: its own word, within bounds.
    return QStringLiteral("change \"%1\"").arg(withoutControlCharacters(c.left(40)));
}

// What undoing and redoing a change need, read whole from its journal row.
struct Room::Details {
    QString before, after;       // renames and edits
    int from = 0, to = 0;        // moves
    int position = 0;            // an added or deleted game
    PlacedPlayer placed;         // an added or deleted player
    QList<PlacedPlayer> players; // a deleted game's, or all of a list's
};

std::optional<Room::Details> Room::readDetails(const JournalRecord &entry)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(entry.details, &error);
    const QJsonObject object = document.object();
    const QString &c = entry.command;
    const bool ofPlayer = c == command::AddPlayer || c == command::DeletePlayer || c == command::MovePlayer
        || c == command::PlayerToTop || isEdit(c);
    if (error.error != QJsonParseError::NoError || !document.isObject() || entry.gameId <= 0 || (ofPlayer && entry.playerId <= 0))
        return std::nullopt;
    const auto text = [&object](const char *key, QString &out) {
        const QJsonValue value = object.value(QLatin1String(key));
        out = value.toString();
        return value.isString();
    };
    const auto number = [&object](const char *key, int &out) {
        const std::optional<qint64> value = integerOf(object.value(QLatin1String(key)), 0, std::numeric_limits<int>::max());
        out = int(value.value_or(0));
        return value.has_value();
    };
    Details d;
    bool whole = false; // stays so for a command this version does not know
    if (c == command::AddGame)
        whole = number("position", d.position);
    else if (c == command::DeleteGame)
        whole = number("position", d.position) && readPlayers(object.value(QLatin1String("players")), d.players);
    else if (c == command::RenameGame || isEdit(c))
        whole = text("before", d.before) && text("after", d.after);
    else if (c == command::MoveGame || c == command::MovePlayer || c == command::PlayerToTop)
        whole = number("from", d.from) && number("to", d.to);
    else if (c == command::AddPlayer || c == command::DeletePlayer)
        whole = readPlaced(object, d.placed) && d.placed.player.id == entry.playerId;
    else if (c == command::DeleteAllPlayers)
        whole = readPlayers(object.value(QLatin1String("players")), d.players);
    return whole ? std::optional<Details>(d) : std::nullopt;
}

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

bool Room::run(const std::function<void()> &storeWork)
{
    try {
        storeWork();
        return true;
    } catch (const StoreError &error) {
        if (error.kind() == StoreError::Kind::Gone && m_store.isShared()) {
            // Another desk was quicker: show the room as it is now, and say why nothing happened.
            if (reloadRoom())
                emit commandRefused(QStringLiteral("Another desk has just changed this list, so nothing was done. "
                                                   "The lists now show the room as it is."));
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
    emit gamesChanged();
    for (const Game &game : std::as_const(m_games))
        emit playersChanged(game.id);
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
    emit playersChanged(gameId);
    emit changed();
    emit updatedElsewhere();
}

bool Room::load()
{
    QList<GameRecord> records;
    QList<JournalRecord> history;
    if (!run([&] {
            m_store.open();
            if (m_desk.isNew && !m_desk.hostName.isEmpty()) {
                WaitingListStore::Change change(m_store);
                change.adoptHistory(m_desk.hostName, m_desk.id);
                change.commit();
            }
            records = m_store.readRoom();
            history = m_store.history(m_desk.id);
        }))
        return false;
    m_desk.isNew = false;
    setGames(records);
    m_history = history;
    m_done = 0;
    while (m_done < m_history.size() && !m_history[m_done].reverted)
        ++m_done;
    // Undone changes stand after the done ones; anything else is no history to follow.
    m_history.resize(m_done + std::count_if(m_history.cbegin() + m_done, m_history.cend(),
                                            [](const JournalRecord &entry) { return entry.reverted; }));
    emit gamesChanged();
    emit historyChanged();
    return true;
}

bool Room::perform(const Work &work, std::optional<JournalRecord> *made)
{
    std::optional<JournalRecord> entry;
    const qsizetype overflow = std::max<qsizetype>(0, m_done + 1 - m_historyLimit);
    if (!run([&] {
            WaitingListStore::Change change(m_store);
            entry = work(change);
            if (entry) {
                entry->madeAt = m_clock.now();
                entry->desk = m_desk.hostName;
                entry->deskId = m_desk.id;
                // A new change ends what could be redone, and the oldest change leaves a full history.
                QList<qint64> retired;
                for (qsizetype i = m_done; i < m_history.size(); ++i)
                    retired << m_history[i].id;
                for (qsizetype i = 0; i < overflow; ++i)
                    retired << m_history[i].id;
                change.retire(retired);
                entry->id = change.record(*entry);
            }
            change.commit();
        }))
        return false;
    if (entry) {
        m_history.resize(m_done);
        m_history.remove(0, overflow);
        m_history.append(*entry);
        m_done = m_history.size();
        emit historyChanged();
        emit changeRecorded(*entry);
    }
    if (made)
        *made = entry;
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
    players.move(from, to);
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

void Room::setGames(const QList<GameRecord> &records)
{
    m_games.clear();
    m_games.reserve(records.size());
    for (const GameRecord &record : records) {
        Game game{record.id, record.name, {}};
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
    const QString kept = withoutControlCharacters(name);
    qint64 id = 0;
    int position = 0;
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            id = change.addGame(kept);
            position = change.gamePosition(id);
            return entryFor(command::AddGame, id, 0, kept, {}, {{QStringLiteral("position"), position}});
        }))
        return std::nullopt;
    insertGame({id, kept, {}}, position);
    emit gamesChanged();
    emit changed();
    return id;
}

bool Room::renameGame(qint64 gameId, const QString &name)
{
    const QString kept = withoutControlCharacters(name);
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            const QString before = change.gameName(gameId);
            change.renameGame(gameId, kept);
            if (before == kept)
                return std::nullopt;
            return entryFor(command::RenameGame, gameId, 0, kept, {},
                            {{QStringLiteral("before"), before}, {QStringLiteral("after"), kept}});
        }))
        return false;
    setGameName(gameId, kept);
    emit changed();
    return true;
}

bool Room::deleteGame(qint64 gameId)
{
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            const int position = change.gamePosition(gameId);
            const QString name = change.gameName(gameId);
            const QList<PlacedPlayer> players = change.deleteGame(gameId);
            return entryFor(command::DeleteGame, gameId, 0, name, {},
                            {{QStringLiteral("position"), position}, {QStringLiteral("players"), playersJson(players)}});
        }))
        return false;
    removeGame(gameId);
    emit gamesChanged();
    emit changed();
    return true;
}

bool Room::moveGame(qint64 gameId, int offset)
{
    int from = 0;
    int to = 0;
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            from = change.gamePosition(gameId);
            to = std::clamp(from + offset, 0, std::max(0, change.gameCount() - 1));
            if (to == from)
                return std::nullopt;
            change.moveGameTo(gameId, to);
            return entryFor(command::MoveGame, gameId, 0, change.gameName(gameId), {},
                            {{QStringLiteral("from"), from}, {QStringLiteral("to"), to}});
        }))
        return false;
    moveGameTo(gameId, to);
    emit gamesChanged();
    emit changed();
    return true;
}

std::optional<qint64> Room::addPlayer(qint64 gameId, const QString &storedName)
{
    const QString kept = withoutControlCharacters(storedName);
    PlacedPlayer placed;
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            placed = change.addPlayer(gameId, kept, m_clock.now());
            return entryFor(command::AddPlayer, gameId, placed.player.id, change.gameName(gameId), kept, placedJson(placed));
        }))
        return std::nullopt;
    insertPlayer(gameId, playerOf(placed.player), placed.position);
    emit playersChanged(gameId);
    emit changed();
    return placed.player.id;
}

bool Room::updatePlayer(qint64 gameId, qint64 playerId, const QString &storedName)
{
    const QString kept = withoutControlCharacters(storedName);
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            const QString before = change.updatePlayer(playerId, kept);
            if (before == kept)
                return std::nullopt;
            return entryFor(editCommand(before, kept), gameId, playerId, change.gameName(gameId), kept,
                            {{QStringLiteral("before"), before}, {QStringLiteral("after"), kept}});
        }))
        return false;
    setPlayerName(gameId, playerId, kept);
    emit changed();
    return true;
}

bool Room::deletePlayer(qint64 gameId, qint64 playerId)
{
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            const std::optional<PlacedPlayer> placed = change.deletePlayer(gameId, playerId);
            if (!placed)
                return std::nullopt;
            return entryFor(command::DeletePlayer, gameId, playerId, change.gameName(gameId), placed->player.name,
                            placedJson(*placed));
        }))
        return false;
    removePlayer(gameId, playerId);
    emit playersChanged(gameId);
    emit changed();
    return true;
}

bool Room::deleteAllPlayers(qint64 gameId)
{
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            const QList<PlacedPlayer> players = change.deleteAllPlayers(gameId);
            if (players.isEmpty())
                return std::nullopt;
            return entryFor(command::DeleteAllPlayers, gameId, 0, change.gameName(gameId), {},
                            {{QStringLiteral("players"), playersJson(players)}});
        }))
        return false;
    setPlayers(gameId, {});
    emit playersChanged(gameId);
    emit changed();
    return true;
}

bool Room::movePlayer(qint64 gameId, qint64 playerId, int offset)
{
    return movePlayerBy(gameId, playerId, offset, command::MovePlayer);
}

bool Room::movePlayerToTop(qint64 gameId, qint64 playerId)
{
    // Far enough up for any list: the store stops at the top.
    return movePlayerBy(gameId, playerId, std::numeric_limits<int>::min() / 2, command::PlayerToTop);
}

bool Room::movePlayerBy(qint64 gameId, qint64 playerId, int offset, const QString &what)
{
    const int index = indexOfPlayer(gameId, playerId);
    const QString name = index < 0 ? QString() : game(gameId)->players[index].storedName;
    int to = 0;
    if (!perform([&](WaitingListStore::Change &change) -> std::optional<JournalRecord> {
            const int from = change.playerPosition(gameId, playerId);
            to = int(std::clamp<qint64>(qint64(from) + offset, 0, std::max(0, change.playerCount(gameId) - 1)));
            if (to == from)
                return std::nullopt;
            change.movePlayerTo(gameId, playerId, to);
            return entryFor(what, gameId, playerId, change.gameName(gameId), name,
                            {{QStringLiteral("from"), from}, {QStringLiteral("to"), to}});
        }))
        return false;
    movePlayerTo(gameId, playerId, to);
    emit playersChanged(gameId);
    emit changed();
    return true;
}

void Room::requireRows(WaitingListStore::Change &change, const JournalRecord &entry, const Details &d, bool forward)
{
    // What the step acts on must be there, and what it brings back must not: else another desk
    // has changed it since, or the row is damaged.
    const auto absent = [&change](bool game, qint64 id) {
        if (game ? change.hasGame(id) : change.hasPlayer(id))
            throw StoreError(QStringLiteral("The %1 with id %2 is in the database already.")
                                     .arg(QLatin1String(game ? "game" : "player"))
                                     .arg(id),
                             StoreError::Kind::Gone);
    };
    const QString &c = entry.command;
    const bool bringsBack = (c == command::AddGame || c == command::AddPlayer) == forward;
    if (c == command::AddGame || c == command::DeleteGame) {
        if (!bringsBack) {
            change.gamePosition(entry.gameId);
            return;
        }
        absent(true, entry.gameId);
        for (const PlacedPlayer &placed : d.players)
            absent(false, placed.player.id);
    } else if (c == command::AddPlayer || c == command::DeletePlayer) {
        if (!bringsBack) {
            change.playerPosition(entry.gameId, entry.playerId);
            return;
        }
        change.gamePosition(entry.gameId);
        absent(false, entry.playerId);
    } else if (c == command::DeleteAllPlayers) {
        change.gamePosition(entry.gameId);
        for (const PlacedPlayer &placed : forward ? QList<PlacedPlayer>() : d.players)
            absent(false, placed.player.id);
    } else if (c == command::RenameGame || c == command::MoveGame) {
        change.gamePosition(entry.gameId);
    } else {
        change.playerPosition(entry.gameId, entry.playerId);
    }
}

void Room::revert(WaitingListStore::Change &change, const JournalRecord &entry, const Details &d)
{
    const QString &c = entry.command;
    if (c == command::AddGame) {
        change.deleteGame(entry.gameId);
    } else if (c == command::RenameGame) {
        change.renameGame(entry.gameId, d.before);
    } else if (c == command::DeleteGame) {
        change.insertGameAt(entry.gameId, entry.gameName, d.position);
        for (const PlacedPlayer &placed : d.players)
            change.insertPlayerAt(entry.gameId, placed);
    } else if (c == command::MoveGame) {
        change.moveGameTo(entry.gameId, d.from);
    } else if (c == command::AddPlayer) {
        change.deletePlayer(entry.gameId, entry.playerId);
    } else if (c == command::DeletePlayer) {
        change.insertPlayerAt(entry.gameId, d.placed);
    } else if (c == command::DeleteAllPlayers) {
        for (const PlacedPlayer &placed : d.players)
            change.insertPlayerAt(entry.gameId, placed);
    } else if (c == command::MovePlayer || c == command::PlayerToTop) {
        change.movePlayerTo(entry.gameId, entry.playerId, d.from);
    } else {
        change.updatePlayer(entry.playerId, d.before);
    }
}

void Room::reapply(WaitingListStore::Change &change, const JournalRecord &entry, const Details &d)
{
    const QString &c = entry.command;
    if (c == command::AddGame) {
        change.insertGameAt(entry.gameId, entry.gameName, d.position);
    } else if (c == command::RenameGame) {
        change.renameGame(entry.gameId, d.after);
    } else if (c == command::DeleteGame) {
        change.deleteGame(entry.gameId);
    } else if (c == command::MoveGame) {
        change.moveGameTo(entry.gameId, d.to);
    } else if (c == command::AddPlayer) {
        change.insertPlayerAt(entry.gameId, d.placed);
    } else if (c == command::DeletePlayer) {
        change.deletePlayer(entry.gameId, entry.playerId);
    } else if (c == command::DeleteAllPlayers) {
        change.deleteAllPlayers(entry.gameId);
    } else if (c == command::MovePlayer || c == command::PlayerToTop) {
        change.movePlayerTo(entry.gameId, entry.playerId, d.to);
    } else {
        change.updatePlayer(entry.playerId, d.after);
    }
}

void Room::applyInMemory(const JournalRecord &entry, const Details &d, bool forward)
{
    const QString &c = entry.command;
    const bool gameLevel = c == command::AddGame || c == command::RenameGame || c == command::DeleteGame || c == command::MoveGame;
    if (c == command::AddGame || c == command::DeleteGame) {
        if ((c == command::AddGame) == forward) {
            Game game{entry.gameId, entry.gameName, {}};
            for (const PlacedPlayer &placed : d.players)
                game.players.insert(std::clamp<qsizetype>(placed.position, 0, game.players.size()), playerOf(placed.player));
            insertGame(game, d.position);
        } else {
            removeGame(entry.gameId);
        }
    } else if (c == command::RenameGame) {
        setGameName(entry.gameId, forward ? d.after : d.before);
    } else if (c == command::MoveGame) {
        moveGameTo(entry.gameId, forward ? d.to : d.from);
    } else if (c == command::AddPlayer || c == command::DeletePlayer) {
        if ((c == command::AddPlayer) == forward)
            insertPlayer(entry.gameId, playerOf(d.placed.player), d.placed.position);
        else
            removePlayer(entry.gameId, entry.playerId);
    } else if (c == command::DeleteAllPlayers) {
        QList<Player> players;
        if (!forward) {
            for (const PlacedPlayer &placed : d.players)
                players.insert(std::clamp<qsizetype>(placed.position, 0, players.size()), playerOf(placed.player));
        }
        setPlayers(entry.gameId, std::move(players));
    } else if (c == command::MovePlayer || c == command::PlayerToTop) {
        movePlayerTo(entry.gameId, entry.playerId, forward ? d.to : d.from);
    } else {
        setPlayerName(entry.gameId, entry.playerId, forward ? d.after : d.before);
    }
    if (gameLevel)
        emit gamesChanged();
    else
        emit playersChanged(entry.gameId);
    emit changed();
}

QString Room::undoText() const
{
    return canUndo() ? QStringLiteral("Undo ") + describeChange(m_history[m_done - 1]) : QString();
}

QString Room::redoText() const
{
    return canRedo() ? QStringLiteral("Redo ") + describeChange(m_history[m_done]) : QString();
}

Room::Target Room::undoTarget() const
{
    return canUndo() ? Target{m_history[m_done - 1].gameId, m_history[m_done - 1].playerId} : Target{};
}

Room::Target Room::redoTarget() const
{
    return canRedo() ? Target{m_history[m_done].gameId, m_history[m_done].playerId} : Target{};
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
    const qsizetype index = forward ? m_done : m_done - 1;
    const JournalRecord entry = m_history[index];
    const QLatin1String done(forward ? "redone" : "undone");
    const std::optional<Details> details = readDetails(entry);
    QString refusal = QStringLiteral("The journal's record of this change cannot be read, so it cannot be %1. "
                                     "The lists are unchanged.").arg(done);
    bool elsewhere = false;
    if (details) {
        try {
            WaitingListStore::Change change(m_store);
            requireRows(change, entry, *details, forward);
            if (forward)
                reapply(change, entry, *details);
            else
                revert(change, entry, *details);
            change.setReverted(entry.id, !forward, m_clock.now());
            change.commit();
            m_history[index].reverted = !forward;
            m_done += forward ? 1 : -1;
            emit changeRecorded(m_history[index]);
            applyInMemory(m_history[index], *details, forward);
            emit historyChanged();
            return true;
        } catch (const StoreError &error) {
            elsewhere = error.kind() == StoreError::Kind::Gone && m_store.isShared();
            if (elsewhere)
                refusal = QStringLiteral("Another desk has changed what this was about, so it cannot be %1.").arg(done);
            else if (error.kind() == StoreError::Kind::Gone)
                refusal = QStringLiteral("The journal's record of this change does not match the lists, so it cannot be %1. "
                                         "The lists are unchanged.").arg(done);
            else if (error.kind() == StoreError::Kind::ConnectionLost)
                refusal = error.message();
            else
                refusal = QStringLiteral("This change cannot be %1: %2").arg(done, error.message());
        }
    }
    // The change leaves the history, so that the one before it comes next (after it, for a
    // redo); where even that cannot be saved, the history stays as it is.
    try {
        WaitingListStore::Change change(m_store);
        change.retire({entry.id});
        change.commit();
        m_history.remove(index);
        if (index < m_done)
            --m_done;
        emit historyChanged();
    } catch (const StoreError &) {
    }
    // Another desk's change: show the room as it is now.
    if (!elsewhere || reloadRoom())
        emit commandRefused(refusal);
    return false;
}

bool Room::clearHistory()
{
    if (m_history.isEmpty())
        return true;
    QList<qint64> ids;
    for (const JournalRecord &entry : std::as_const(m_history))
        ids << entry.id;
    if (!run([&] {
            WaitingListStore::Change change(m_store);
            change.retire(ids);
            change.commit();
        }))
        return false;
    m_history.clear();
    m_done = 0;
    emit historyChanged();
    return true;
}

} // namespace tavlo
