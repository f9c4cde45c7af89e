#include "store/WaitingListStore.h"

#include "base/StoredTime.h"
#include "store/DatabaseAddress.h"
#include "store/Schema.h"
#include "store/Statement.h"
#include "store/StoreError.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>

namespace tavlo {

namespace {

struct StoreText {
    Q_DECLARE_TR_FUNCTIONS(WaitingListStore)
};

QAtomicInt connectionCounter;

void prepare(Statement &statement, const QString &text)
{
    statement.prepare(text);
}

void prepare(Statement &statement, const char *text)
{
    statement.prepare(QString::fromLatin1(text));
}

// An insert that gives back the new row's id (see insertedId).
QString returningId(bool server, const char *insert)
{
    return server ? QLatin1String(insert) + QLatin1String(" RETURNING id") : QString::fromLatin1(insert);
}

// Runs a prepared statement with its values; the rows it returns can be read until the next
// run. Throws the engine's words.
template <typename... Values>
Statement &run(Statement &statement, const Values &...values)
{
    int index = 0;
    [[maybe_unused]] const auto bind = [&statement, &index](const auto &value) {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, qint64> || std::is_same_v<Value, QString> || std::is_same_v<Value, QVariant>)
            statement.bind(index++, value);
        else
            statement.bind(index++, QVariant::fromValue(value));
    };
    (bind(values), ...);
    statement.exec();
    return statement;
}

// Text that must not be NULL: a null string is empty text.
QString text(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

// Times are kept as UTC text, readable in the file and by any engine.
QVariant timeValue(const QDateTime &time)
{
    return time.isValid() ? QVariant(storedTimeText(time)) : QVariant(QMetaType(QMetaType::QString));
}

QDateTime timeOf(const QVariant &value)
{
    return value.isNull() ? QDateTime() : storedTime(value.toString());
}

// A player from a row that starts with id, player_name, added_at, called_at, call_seconds,
// away_since, person_id.
PlayerRecord playerAt(const Statement &row)
{
    const QVariant seconds = row.value(4);
    return {row.value(0).toLongLong(), row.value(1).toString(), timeOf(row.value(2)),
            {timeOf(row.value(3)), seconds.isNull() ? 0 : seconds.toInt(), timeOf(row.value(5))}, row.value(6).toLongLong()};
}

QVariant personValue(qint64 personId)
{
    return personId != 0 ? QVariant(personId) : QVariant(QMetaType(QMetaType::LongLong));
}

QVariant secondsValue(const FloorState &state)
{
    return state.isCalled() ? QVariant(qint64(state.callSeconds)) : QVariant(QMetaType(QMetaType::LongLong));
}

// The single row's first value, or nothing when there is no row.
std::optional<QVariant> firstValue(Statement &query)
{
    std::optional<QVariant> value;
    if (query.next())
        value = query.value(0);
    query.finish();
    return value;
}

// The new row's id: returned by the statement on a server, the engine's last row id in a file
// (SQLite builds a table of its own for every RETURNING).
qint64 insertedId(Statement &statement)
{
    std::optional<qint64> id;
    if (statement.isSelect()) {
        if (const std::optional<QVariant> returned = firstValue(statement); returned && returned->isValid())
            id = returned->toLongLong();
    } else {
        id = statement.lastInsertId();
    }
    if (!id)
        throw StoreError(QStringLiteral("The new row's id did not come back."));
    return *id;
}

StoreError gone(const char *what, qint64 id)
{
    return StoreError(QStringLiteral("The %1 with id %2 is no longer in the database.").arg(QLatin1String(what)).arg(id),
                      StoreError::Kind::Gone);
}

} // namespace

// The statements, prepared once when the file opens and reused by every change.
class WaitingListStore::Statements {
public:
    Statements(const QSqlDatabase &db, bool server)
        : engine(engineOf(db, server)), begin(db, engine), lock(db, engine), notify(db, engine), commit(db, engine), rollback(db, engine), playersOfGame(db, engine), games(db, engine), players(db, engine), history(db, engine), gameOrder(db, engine), playerOrder(db, engine),
          gameShape(db, engine), playerShape(db, engine), gameRow(db, engine), playerPosition(db, engine), placedPlayers(db, engine), onePlayer(db, engine), playerName(db, engine),
          insertGame(db, engine), insertGameWithId(db, engine), renameGame(db, engine), deleteGame(db, engine), setGamePosition(db, engine), closeGameGap(db, engine),
          openGameGap(db, engine), moveGame(db, engine), insertPlayer(db, engine), insertPlayerWithId(db, engine), updatePlayer(db, engine), deletePlayer(db, engine),
          deletePlayers(db, engine), setPlayerPosition(db, engine), closePlayerGap(db, engine), openPlayerGap(db, engine), movePlayer(db, engine),
          insertJournal(db, engine), setReverted(db, engine), retire(db, engine), adopt(db, engine), setFloorState(db, engine), setPerson(db, engine), linked(db, engine), setInterest(db, engine),
          gameCount(db, engine), playerCount(db, engine)
    {
        // One desk writes at a time: the file's write lock, or the server's lock for the room.
        // Transaction control runs as plain text on a server, which cannot prepare it; a file
        // prepares it once.
        beginText = QLatin1String(server ? "BEGIN" : "BEGIN IMMEDIATE");
        if (!server) {
            prepare(begin, beginText);
            prepare(commit, "COMMIT");
        }
        controlPrepared = !server;
        prepare(lock, server ? "SELECT pg_advisory_xact_lock(727001)" : "SELECT 1");
        prepare(notify, server ? "SELECT pg_notify('tavlo_changes', ?)" : "SELECT ?");
        prepare(games, "SELECT id, list_name, interest FROM lists ORDER BY listbox_order, id");
        prepare(players, "SELECT id, player_name, added_at, called_at, call_seconds, away_since, person_id, list_id FROM list_content "
                         "ORDER BY list_id, listbox_order, id");
        prepare(playersOfGame, "SELECT id, player_name, added_at, called_at, call_seconds, away_since, person_id FROM list_content "
                               "WHERE list_id = ? ORDER BY listbox_order, id");
        prepare(history, "SELECT id, made_at, desk, command, game_id, player_id, game_name, player_name, details, reverted "
                         "FROM journal WHERE desk_id = ? AND undoable = 1 ORDER BY id");
        prepare(gameOrder, "SELECT id, listbox_order FROM lists ORDER BY listbox_order, id");
        prepare(playerOrder, "SELECT id, listbox_order FROM list_content WHERE list_id = ? ORDER BY listbox_order, id");
        // The shape of an order: whole when its positions are 0 ... n-1 without repeats.
        prepare(gameShape, "SELECT COUNT(*), COUNT(DISTINCT listbox_order), MIN(listbox_order), MAX(listbox_order) FROM lists");
        prepare(playerShape, "SELECT COUNT(*), COUNT(DISTINCT listbox_order), MIN(listbox_order), MAX(listbox_order) "
                             "FROM list_content WHERE list_id = ?");
        prepare(gameCount, "SELECT COUNT(*) FROM lists");
        prepare(playerCount, "SELECT COUNT(*) FROM list_content WHERE list_id = ?");
        prepare(gameRow, "SELECT listbox_order, list_name, interest FROM lists WHERE id = ?");
        prepare(setInterest, "UPDATE lists SET interest = ? WHERE id = ?");
        prepare(playerPosition, "SELECT listbox_order FROM list_content WHERE id = ? AND list_id = ?");
        prepare(placedPlayers, "SELECT id, player_name, added_at, called_at, call_seconds, away_since, person_id, listbox_order "
                               "FROM list_content WHERE list_id = ? ORDER BY listbox_order, id");
        prepare(onePlayer, "SELECT id, player_name, added_at, called_at, call_seconds, away_since, person_id, listbox_order "
                           "FROM list_content WHERE id = ? AND list_id = ?");
        prepare(playerName, "SELECT player_name, list_id FROM list_content WHERE id = ?");

        prepare(insertGame, returningId(server, "INSERT INTO lists (list_name, listbox_order) VALUES (?, ?)"));
        prepare(insertGameWithId, "INSERT INTO lists (id, list_name, listbox_order) VALUES (?, ?, ?)");
        prepare(renameGame, "UPDATE lists SET list_name = ? WHERE id = ?");
        prepare(deleteGame, "DELETE FROM lists WHERE id = ?");
        prepare(setGamePosition, "UPDATE lists SET listbox_order = ? WHERE id = ?");
        // On a whole order every move is one statement.
        prepare(closeGameGap, "UPDATE lists SET listbox_order = listbox_order - 1 WHERE listbox_order > ?");
        prepare(openGameGap, "UPDATE lists SET listbox_order = listbox_order + 1 WHERE listbox_order >= ?");
        prepare(moveGame, "UPDATE lists SET listbox_order = CASE WHEN id = ? THEN ? ELSE listbox_order + ? END "
                          "WHERE listbox_order BETWEEN ? AND ?");

        prepare(insertPlayer, returningId(server, "INSERT INTO list_content (list_id, player_name, player_number, player_phone, "
                                                  "listbox_order, added_at) VALUES (?, ?, 0, '', ?, ?)"));
        prepare(insertPlayerWithId, "INSERT INTO list_content (id, list_id, player_name, player_number, player_phone, "
                                    "listbox_order, added_at, called_at, call_seconds, away_since, person_id) "
                                    "VALUES (?, ?, ?, 0, '', ?, ?, ?, ?, ?, ?)");
        prepare(setPerson, "UPDATE list_content SET person_id = ? WHERE id = ?");
        prepare(linked, "SELECT list_id, id FROM list_content WHERE person_id = ? AND id <> ? ORDER BY id");
        prepare(setFloorState, "UPDATE list_content SET called_at = ?, call_seconds = ?, away_since = ? WHERE id = ?");
        prepare(updatePlayer, "UPDATE list_content SET player_name = ?, player_number = 0, player_phone = '' WHERE id = ?");
        prepare(deletePlayer, "DELETE FROM list_content WHERE id = ?");
        prepare(deletePlayers, "DELETE FROM list_content WHERE list_id = ?");
        prepare(setPlayerPosition, "UPDATE list_content SET listbox_order = ? WHERE id = ?");
        prepare(closePlayerGap, "UPDATE list_content SET listbox_order = listbox_order - 1 WHERE list_id = ? AND listbox_order > ?");
        prepare(openPlayerGap, "UPDATE list_content SET listbox_order = listbox_order + 1 WHERE list_id = ? AND listbox_order >= ?");
        prepare(movePlayer, "UPDATE list_content SET listbox_order = CASE WHEN id = ? THEN ? ELSE listbox_order + ? END "
                            "WHERE list_id = ? AND listbox_order BETWEEN ? AND ?");

        prepare(insertJournal, returningId(server, "INSERT INTO journal (made_at, desk, desk_id, command, game_id, player_id, "
                                                   "game_name, player_name, details, reverted, undoable) "
                                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 1)"));
        prepare(setReverted, "UPDATE journal SET reverted = ?, reverted_at = ? WHERE id = ?");
        prepare(retire, "UPDATE journal SET undoable = 0 WHERE id = ?");
        prepare(adopt, "UPDATE journal SET desk_id = ? WHERE desk = ? AND (desk_id IS NULL OR desk_id = '')");
    }

    // A file's engine, asked directly where a statement would cost more; null on a server.
    sqlite3 *engine = nullptr;
    static sqlite3 *engineOf(const QSqlDatabase &db, bool server)
    {
        const QVariant handle = db.driver()->handle();
        if (server || !handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
            return nullptr;
        return *static_cast<sqlite3 *const *>(handle.constData());
    }
    Statement begin, lock, notify, commit, rollback, playersOfGame;
    QString beginText;

    void control(Statement &statement, const QString &text)
    {
        if (controlPrepared)
            statement.exec();
        else
            statement.execText(text);
    }
    bool controlPrepared = false;
    Statement games, players, history, gameOrder, playerOrder, gameShape, playerShape, gameRow, playerPosition,
        placedPlayers, onePlayer, playerName;
    Statement insertGame, insertGameWithId, renameGame, deleteGame, setGamePosition, closeGameGap, openGameGap, moveGame;
    Statement insertPlayer, insertPlayerWithId, updatePlayer, deletePlayer, deletePlayers, setPlayerPosition,
        closePlayerGap, openPlayerGap, movePlayer;
    Statement insertJournal, setReverted, retire, adopt, setFloorState, setPerson, linked, setInterest;
    Statement gameCount, playerCount;

    // The orders found whole, known while this connection alone writes: each of its changes
    // keeps an order whole, and one undone by a rollback is looked at again.
    bool gamesWhole = false;
    std::set<qint64> wholePlayers;
    std::optional<unsigned> seenVersion;
    // The file's version as this connection last saw it: it moves with every commit, this
    // connection's or another's, once a transaction has begun.
    std::optional<unsigned> fileVersion() const
    {
        unsigned version = 0;
        if (!engine || sqlite3_file_control(engine, "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK)
            return std::nullopt;
        return version;
    }
    void forgetWholeOrders()
    {
        gamesWhole = false;
        wholePlayers.clear();
    }
};

namespace {

// Mends an order whose positions have gaps or repeats (a file from elsewhere) by giving each
// row its place in the order; returns the number of rows. `readOrder` runs the order's query.
template <typename ReadOrder>
qint64 wholeOrder(Statement &shape, ReadOrder readOrder, Statement &setPosition)
{
    shape.next();
    const qint64 count = shape.value(0).toLongLong();
    const bool whole = count == 0
        || (shape.value(1).toLongLong() == count && shape.value(2).toLongLong() == 0 && shape.value(3).toLongLong() == count - 1);
    shape.finish();
    if (!whole) {
        QList<std::pair<qint64, qint64>> rows;
        Statement &order = readOrder();
        while (order.next())
            rows.append({order.value(0).toLongLong(), order.value(1).toLongLong()});
        order.finish();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (rows[i].second != i)
                run(setPosition, qint64(i), rows[i].first);
        }
    }
    return count;
}

// The bounds and the shift of the rows a move from `from` to `to` passes over.
struct Shift {
    qint64 low;
    qint64 high;
    qint64 delta;
};

Shift shiftFor(qint64 from, qint64 to)
{
    return to < from ? Shift{to, from, 1} : Shift{from, to, -1};
}

} // namespace

WaitingListStore::WaitingListStore(const QString &databaseSetting)
    : m_path(databaseSetting)
    , m_server(DatabaseAddress::parse(databaseSetting).isServer())
    , m_connectionName(QStringLiteral("tavlo-store-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

WaitingListStore::~WaitingListStore()
{
    close();
}

bool WaitingListStore::isOpen() const
{
    return m_statements != nullptr;
}

bool WaitingListStore::isShared() const
{
    return m_server;
}

void WaitingListStore::setRemoteChangeHandler(std::function<void(qint64)> handler)
{
    m_remoteChange = std::move(handler);
}

void WaitingListStore::open()
{
    if (m_statements)
        return;
    const DatabaseAddress address = DatabaseAddress::parse(m_path);
    if (address.isServer()) {
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
        m_database.setHostName(address.host);
        if (address.port >= 0)
            m_database.setPort(address.port);
        m_database.setUserName(address.user);
        m_database.setPassword(address.password);
        m_database.setDatabaseName(address.database);
        m_database.setConnectOptions(address.options);
    } else {
        // The engine would quietly create a missing file; a missing database is a failure here.
        if (m_path.isEmpty() || !QFileInfo(m_path).isFile())
            throw StoreError(StoreText::tr("Could not find file '%1'.").arg(m_path));
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        m_database.setDatabaseName(m_path);
        // Another reader (a backup, a second program) must not make a write fail at once.
        m_database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    try {
        if (!m_database.open())
            throw StoreError(StoreText::tr("Cannot open %1: %2").arg(address.shown(), wordsOf(m_database.lastError())));
        upgradeSchema(m_database);
        m_statements = std::make_unique<Statements>(m_database, m_server);
        if (m_server) {
            QSqlDriver *driver = m_database.driver();
            if (!driver->subscribeToNotification(QStringLiteral("tavlo_changes")))
                throw StoreError(StoreText::tr("Cannot follow the changes of other desks on %1: %2")
                                     .arg(address.shown(), wordsOf(driver->lastError())));
            QObject::connect(driver, &QSqlDriver::notification, driver,
                             [this](const QString &, QSqlDriver::NotificationSource source, const QVariant &payload) {
                                 // Our own changes are in memory already.
                                 if (source == QSqlDriver::SelfSource || !m_remoteChange)
                                     return;
                                 for (const QString &game : payload.toString().split(QLatin1Char(',')))
                                     m_remoteChange(game.toLongLong());
                             });
        }
    } catch (...) {
        close();
        throw;
    }
}

void WaitingListStore::close()
{
    m_statements.reset();
    if (m_database.isValid()) {
        m_database.close();
        m_database = QSqlDatabase();
    }
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

void WaitingListStore::handOver(QThread *thread)
{
    if (m_database.isValid())
        m_database.driver()->moveToThread(thread);
}

void WaitingListStore::requireOpenFile()
{
    if (!m_statements)
        throw StoreError(StoreText::tr("The database %1 is not open.").arg(m_path));
    // An open file that was deleted or moved would take the writes with it, unseen.
    int moved = 0;
    if (m_statements->engine && sqlite3_file_control(m_statements->engine, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK
        && moved)
        throw StoreError(StoreText::tr("Could not find file '%1'.").arg(m_path));
}

QList<GameRecord> WaitingListStore::readRoom()
{
    requireOpenFile();
    QList<GameRecord> games;
    Statement &gameRows = run(m_statements->games);
    while (gameRows.next())
        games.append({gameRows.value(0).toLongLong(), gameRows.value(1).toString(), {}, gameRows.value(2).toLongLong() != 0});
    gameRows.finish();

    QHash<qint64, qsizetype> gameIndex;
    for (qsizetype i = 0; i < games.size(); ++i)
        gameIndex.insert(games[i].id, i);
    Statement &playerRows = run(m_statements->players);
    while (playerRows.next()) {
        // A player whose game is gone belongs to no list.
        const auto game = gameIndex.constFind(playerRows.value(7).toLongLong());
        if (game != gameIndex.cend())
            games[*game].players.append(playerAt(playerRows));
    }
    playerRows.finish();
    return games;
}

QList<PlayerRecord> WaitingListStore::readPlayers(qint64 gameId)
{
    requireOpenFile();
    QList<PlayerRecord> players;
    Statement &rows = run(m_statements->playersOfGame, gameId);
    while (rows.next())
        players.append(playerAt(rows));
    rows.finish();
    return players;
}

QList<JournalRecord> WaitingListStore::history(const QString &deskId)
{
    requireOpenFile();
    QList<JournalRecord> entries;
    Statement &rows = run(m_statements->history, text(deskId));
    while (rows.next()) {
        JournalRecord entry;
        entry.id = rows.value(0).toLongLong();
        entry.madeAt = timeOf(rows.value(1));
        entry.desk = rows.value(2).toString();
        entry.command = rows.value(3).toString();
        entry.gameId = rows.value(4).toLongLong();
        entry.playerId = rows.value(5).toLongLong();
        entry.gameName = rows.value(6).toString();
        entry.playerName = rows.value(7).toString();
        entry.details = rows.value(8).toString().toUtf8();
        entry.reverted = rows.value(9).toLongLong() != 0;
        entry.deskId = deskId;
        entries.append(entry);
    }
    rows.finish();
    return entries;
}

WaitingListStore::Change::Change(WaitingListStore &store)
    : m_store(store)
    , m_statements((store.requireOpenFile(), *store.m_statements))
{
    m_statements.control(m_statements.begin, m_statements.beginText);
    if (store.m_server) {
        Statement &lock = run(m_statements.lock);
        lock.finish();
        m_statements.forgetWholeOrders(); // other desks write without a trace here
        return;
    }
    // Another connection's commit since this one's last: the orders known whole may not be.
    const std::optional<unsigned> version = m_statements.fileVersion();
    if (!version || version != m_statements.seenVersion)
        m_statements.forgetWholeOrders();
}

WaitingListStore::Change::~Change()
{
    if (!m_committed) {
        try {
            m_statements.rollback.execText(QStringLiteral("ROLLBACK"));
        } catch (const StoreError &) {
            // The transaction ends with the connection anyway.
        }
        m_statements.forgetWholeOrders();
    }
}

void WaitingListStore::Change::commit()
{
    // The other desks hear of the change when it commits, and read again what it touched.
    if (m_store.m_server && (m_gamesTouched || !m_playersTouched.empty())) {
        QStringList touched;
        if (m_gamesTouched)
            touched << QStringLiteral("0");
        else
            for (const qint64 game : m_playersTouched)
                touched << QString::number(game);
        run(m_statements.notify, touched.join(QLatin1Char(','))).finish();
    }
    try {
        m_statements.control(m_statements.commit, QStringLiteral("COMMIT"));
        m_statements.seenVersion = m_statements.fileVersion();
    } catch (const StoreError &error) {
        if (error.kind() != StoreError::Kind::ConnectionLost)
            throw;
        // The server may have committed before it went.
        throw StoreError(QStringLiteral("The connection to the database server was lost while this change was being saved, "
                                        "so it may or may not have been saved."),
                         StoreError::Kind::ConnectionLost);
    }
    m_committed = true;
}

qint64 WaitingListStore::Change::wholeGameOrder()
{
    if (!m_gameCount) {
        Statements &s = m_statements;
        if (s.gamesWhole) {
            m_gameCount = firstValue(run(s.gameCount)).value_or(QVariant()).toLongLong();
        } else {
            m_gameCount = wholeOrder(run(s.gameShape), [&s]() -> Statement & { return run(s.gameOrder); }, s.setGamePosition);
            s.gamesWhole = true;
        }
    }
    return *m_gameCount;
}

void WaitingListStore::Change::ensureWholeGameOrder()
{
    if (!m_gameCount && !m_statements.gamesWhole)
        wholeGameOrder();
}

void WaitingListStore::Change::ensureWholePlayerOrder(qint64 gameId)
{
    if (!m_playerCounts.contains(gameId) && !m_statements.wholePlayers.contains(gameId))
        wholePlayerOrder(gameId);
}

qint64 WaitingListStore::Change::wholePlayerOrder(qint64 gameId)
{
    if (const auto known = m_playerCounts.find(gameId); known != m_playerCounts.end())
        return known->second;
    Statements &s = m_statements;
    qint64 count = 0;
    if (s.wholePlayers.contains(gameId)) {
        count = firstValue(run(s.playerCount, gameId)).value_or(QVariant()).toLongLong();
    } else {
        count = wholeOrder(run(s.playerShape, gameId), [&s, gameId]() -> Statement & { return run(s.playerOrder, gameId); },
                           s.setPlayerPosition);
        s.wholePlayers.insert(gameId);
    }
    m_playerCounts.emplace(gameId, count);
    return count;
}

int WaitingListStore::Change::gameCount()
{
    return int(wholeGameOrder());
}

int WaitingListStore::Change::playerCount(qint64 gameId)
{
    return int(wholePlayerOrder(gameId));
}

int WaitingListStore::Change::gamePosition(qint64 gameId)
{
    ensureWholeGameOrder();
    const std::optional<QVariant> position = firstValue(run(m_statements.gameRow, gameId));
    if (!position)
        throw gone("game", gameId);
    return position->toInt();
}

QString WaitingListStore::Change::gameName(qint64 gameId)
{
    Statement &row = run(m_statements.gameRow, gameId);
    const QString name = row.next() ? row.value(1).toString() : QString();
    row.finish();
    return name;
}

bool WaitingListStore::Change::gameInterest(qint64 gameId)
{
    Statement &row = run(m_statements.gameRow, gameId);
    if (!row.next()) {
        row.finish();
        throw gone("game", gameId);
    }
    const bool interest = row.value(2).toLongLong() != 0;
    row.finish();
    return interest;
}

void WaitingListStore::Change::setGameInterest(qint64 gameId, bool interest)
{
    if (run(m_statements.setInterest, interest ? QVariant(qint64(1)) : QVariant(QMetaType(QMetaType::LongLong)), gameId)
            .rowsAffected()
        == 0)
        throw gone("game", gameId);
    touchGames();
}

int WaitingListStore::Change::playerPosition(qint64 gameId, qint64 playerId)
{
    ensureWholePlayerOrder(gameId);
    const std::optional<QVariant> position = firstValue(run(m_statements.playerPosition, playerId, gameId));
    if (!position)
        throw gone("player", playerId);
    return position->toInt();
}

bool WaitingListStore::Change::hasGame(qint64 gameId)
{
    return firstValue(run(m_statements.gameRow, gameId)).has_value();
}

bool WaitingListStore::Change::hasPlayer(qint64 playerId)
{
    return firstValue(run(m_statements.playerName, playerId)).has_value();
}

qint64 WaitingListStore::Change::addGame(const QString &name)
{
    // A new game joins at the end.
    const qint64 count = wholeGameOrder();
    touchGames();
    return insertedId(run(m_statements.insertGame, name, count));
}

void WaitingListStore::Change::renameGame(qint64 gameId, const QString &name)
{
    if (run(m_statements.renameGame, name, gameId).rowsAffected() == 0)
        throw gone("game", gameId);
    touchGames();
}

QList<PlacedPlayer> WaitingListStore::Change::placedPlayers(qint64 gameId)
{
    ensureWholePlayerOrder(gameId);
    QList<PlacedPlayer> players;
    Statement &rows = run(m_statements.placedPlayers, gameId);
    while (rows.next())
        players.append({playerAt(rows), rows.value(7).toInt()});
    rows.finish();
    return players;
}

QList<PlacedPlayer> WaitingListStore::Change::deleteGame(qint64 gameId)
{
    ensureWholeGameOrder();
    const std::optional<QVariant> position = firstValue(run(m_statements.gameRow, gameId));
    const QList<PlacedPlayer> players = placedPlayers(gameId);
    touchGames();
    m_playerCounts.erase(gameId);
    m_statements.wholePlayers.erase(gameId);
    // The players first, then the game, whether or not the game's row is still there.
    run(m_statements.deletePlayers, gameId);
    run(m_statements.deleteGame, gameId);
    if (position)
        run(m_statements.closeGameGap, position->toLongLong());
    return players;
}

int WaitingListStore::Change::moveGameTo(qint64 gameId, int position)
{
    ensureWholeGameOrder();
    const std::optional<QVariant> row = firstValue(run(m_statements.gameRow, gameId));
    if (!row)
        throw gone("game", gameId);
    const qint64 from = row->toLongLong();
    const qint64 to = position <= from ? std::max<qint64>(position, 0) : std::min<qint64>(position, wholeGameOrder() - 1);
    if (to == from)
        return int(from);
    const Shift shift = shiftFor(from, to);
    touchGames();
    run(m_statements.moveGame, gameId, to, shift.delta, shift.low, shift.high);
    return int(to);
}

void WaitingListStore::Change::insertGameAt(qint64 gameId, const QString &name, int position)
{
    const qint64 count = wholeGameOrder();
    const qint64 at = std::clamp<qint64>(position, 0, count);
    touchGames();
    run(m_statements.openGameGap, at);
    run(m_statements.insertGameWithId, gameId, name, at);
}

PlacedPlayer WaitingListStore::Change::addPlayer(qint64 gameId, const QString &storedName, const QDateTime &addedAt)
{
    if (!firstValue(run(m_statements.gameRow, gameId)))
        throw gone("game", gameId);
    const qint64 count = wholePlayerOrder(gameId);
    touchPlayers(gameId);
    const qint64 id = insertedId(run(m_statements.insertPlayer, gameId, storedName, count, timeValue(addedAt)));
    return {{id, storedName, addedAt.isValid() ? timeOf(timeValue(addedAt)) : QDateTime()}, int(count)};
}

QString WaitingListStore::Change::updatePlayer(qint64 playerId, const QString &storedName)
{
    // The name it had, for the journal.
    Statement &row = run(m_statements.playerName, playerId);
    if (!row.next()) {
        row.finish();
        throw gone("player", playerId);
    }
    const QString before = row.value(0).toString();
    touchPlayers(row.value(1).toLongLong());
    row.finish();
    run(m_statements.updatePlayer, storedName, playerId);
    return before;
}

std::optional<PlacedPlayer> WaitingListStore::Change::deletePlayer(qint64 gameId, qint64 playerId)
{
    const std::optional<PlacedPlayer> found = placedPlayer(gameId, playerId);
    if (!found)
        return std::nullopt; // gone already: nothing to close up
    const PlacedPlayer &placed = *found;
    touchPlayers(gameId);
    run(m_statements.deletePlayer, playerId);
    // The rest of the list closes up.
    run(m_statements.closePlayerGap, gameId, qint64(placed.position));
    return placed;
}

QList<PlacedPlayer> WaitingListStore::Change::deleteAllPlayers(qint64 gameId)
{
    const QList<PlacedPlayer> players = placedPlayers(gameId);
    touchPlayers(gameId);
    run(m_statements.deletePlayers, gameId);
    return players;
}

int WaitingListStore::Change::movePlayerTo(qint64 gameId, qint64 playerId, int position)
{
    ensureWholePlayerOrder(gameId);
    const std::optional<QVariant> row = firstValue(run(m_statements.playerPosition, playerId, gameId));
    if (!row)
        throw gone("player", playerId);
    const qint64 from = row->toLongLong();
    // Only a move down needs the list's length.
    const qint64 to = position <= from ? std::max<qint64>(position, 0) : std::min<qint64>(position, wholePlayerOrder(gameId) - 1);
    if (to == from)
        return int(from);
    const Shift shift = shiftFor(from, to);
    touchPlayers(gameId);
    run(m_statements.movePlayer, playerId, to, shift.delta, gameId, shift.low, shift.high);
    return int(to);
}

std::optional<PlacedPlayer> WaitingListStore::Change::placedPlayer(qint64 gameId, qint64 playerId)
{
    ensureWholePlayerOrder(gameId);
    Statement &row = run(m_statements.onePlayer, playerId, gameId);
    std::optional<PlacedPlayer> placed;
    if (row.next())
        placed = PlacedPlayer{playerAt(row), row.value(7).toInt()};
    row.finish();
    return placed;
}

void WaitingListStore::Change::setPerson(qint64 gameId, qint64 playerId, qint64 personId)
{
    touchPlayers(gameId);
    run(m_statements.setPerson, personValue(personId), playerId);
}

QList<std::pair<qint64, qint64>> WaitingListStore::Change::linkedEntries(qint64 personId, qint64 playerId)
{
    QList<std::pair<qint64, qint64>> entries;
    if (personId == 0)
        return entries;
    Statement &rows = run(m_statements.linked, personId, playerId);
    while (rows.next())
        entries.append({rows.value(0).toLongLong(), rows.value(1).toLongLong()});
    rows.finish();
    return entries;
}

FloorState WaitingListStore::Change::setFloorState(qint64 gameId, qint64 playerId, const FloorState &state)
{
    Statement &row = run(m_statements.onePlayer, playerId, gameId);
    if (!row.next()) {
        row.finish();
        throw gone("player", playerId);
    }
    const FloorState before = playerAt(row).state;
    row.finish();
    touchPlayers(gameId);
    run(m_statements.setFloorState, timeValue(state.calledAt), secondsValue(state), timeValue(state.awaySince), playerId);
    return before;
}

void WaitingListStore::Change::insertPlayerAt(qint64 gameId, const PlacedPlayer &placed)
{
    const qint64 count = wholePlayerOrder(gameId);
    const qint64 at = std::clamp<qint64>(placed.position, 0, count);
    touchPlayers(gameId);
    run(m_statements.openPlayerGap, gameId, at);
    const FloorState &state = placed.player.state;
    run(m_statements.insertPlayerWithId, placed.player.id, gameId, placed.player.name, at, timeValue(placed.player.addedAt),
        timeValue(state.calledAt), secondsValue(state), timeValue(state.awaySince), personValue(placed.player.personId));
}

qint64 WaitingListStore::Change::record(const JournalRecord &entry)
{
    return insertedId(run(m_statements.insertJournal, timeValue(entry.madeAt), text(entry.desk), text(entry.deskId), entry.command,
                          entry.gameId, entry.playerId, entry.gameName, entry.playerName, QString::fromUtf8(entry.details)));
}

void WaitingListStore::Change::setReverted(qint64 journalId, bool reverted, const QDateTime &at)
{
    run(m_statements.setReverted, qint64(reverted ? 1 : 0), reverted ? timeValue(at) : QVariant(QMetaType(QMetaType::QString)),
        journalId);
}

void WaitingListStore::Change::retire(const QList<qint64> &journalIds)
{
    for (const qint64 id : journalIds)
        run(m_statements.retire, id);
}

void WaitingListStore::Change::adoptHistory(const QString &hostName, const QString &deskId)
{
    run(m_statements.adopt, text(deskId), text(hostName));
}

} // namespace tavlo
